#pragma once

#include <Framekit/ObjectModel/CTQApplication.h>
#include <Framekit/ObjectModel/CTQEventHandler.h>
#include <Framekit/ObjectModel/CTQFactory.h>
#include <Framekit/ObjectModel/CTQNamespace.h>
#include <Framekit/ObjectModel/CTQNode.h>
#include <Framekit/ObjectModel/CTQNodeFactory.h>
#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>
#include <Framekit/ObjectModel/ITQDistributedObject.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Framekit/ObjectModel/TQObjectLookup.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/ObjectModel/sTriggeredEvent.h>
