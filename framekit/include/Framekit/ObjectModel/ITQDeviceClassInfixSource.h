#pragma once

#include <Framekit/FramekitExport.h>

// Where the object database learns the device layer's class-name infix: a class
// "CTQViewport" that cannot be created by its plain name is retried as
// "CTQ" + infix + "Viewport". The current display server is the source; with
// none, there is no infix and no retry.
class FRAMEKIT_API ITQDeviceClassInfixSource
{
public:
    // Null or "" when the device layer has no infix.
    virtual const char* GetDeviceClassInfix() const = 0;

protected:
    ~ITQDeviceClassInfixSource() = default;
};

// Installs the source (null: none) and returns the previous one.
FRAMEKIT_API ITQDeviceClassInfixSource* TQSetDeviceClassInfixSource(ITQDeviceClassInfixSource* source);
FRAMEKIT_API ITQDeviceClassInfixSource* TQGetDeviceClassInfixSource();
