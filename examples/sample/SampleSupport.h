#pragma once

// Small helpers the sample's sections share.

#include <cstdint>

class CTQLocalResourceDatabase;
class CTQResourceDatabase;

// Loads the level's resource file into resources; false (after reporting why)
// when it cannot be opened or read.
bool LoadLevel(CTQLocalResourceDatabase& resources, const char* levelPath);
// The id of the resource with that name, or -1.
std::int32_t FindResource(CTQResourceDatabase& resources, const char* name);
