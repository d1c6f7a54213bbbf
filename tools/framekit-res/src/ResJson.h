#pragma once

// The pieces of the JSON description that the builder reads and the dumper
// writes, kept side by side so that what one writes the other reads back to the
// same bytes.

#include <Plinth/CTQProperty.h>

#include <nlohmann/json.hpp>

#include <string>

namespace ResJson
{
using Json = nlohmann::ordered_json;

// Keys of a resource description.
inline constexpr const char* kKind = "kind";
inline constexpr const char* kResources = "resources";
inline constexpr const char* kId = "id";
inline constexpr const char* kName = "name";
inline constexpr const char* kType = "type";
inline constexpr const char* kResourceClass = "resourceClass";
inline constexpr const char* kAssociatedClass = "associatedClass";
inline constexpr const char* kSingleton = "singleton";
inline constexpr const char* kAttributes = "attributes";
inline constexpr const char* kReferences = "references";
inline constexpr const char* kDependencies = "dependencies";
inline constexpr const char* kVisual = "visual";
// Keys of a reference given as an object.
inline constexpr const char* kRefResource = "resource";
inline constexpr const char* kRefId = "id";
inline constexpr const char* kRefClass = "class";
// Keys of the visual part.
inline constexpr const char* kVertexBuffer = "vertexBuffer";
inline constexpr const char* kTexture = "texture";
inline constexpr const char* kMesh = "mesh";
inline constexpr const char* kBoundsMin = "boundsMin";
inline constexpr const char* kBoundsMax = "boundsMax";
inline constexpr const char* kVertexCount = "vertexCount";
inline constexpr const char* kTriangleCount = "triangleCount";
// The placements of an object list, and the keys of one placement.
inline constexpr const char* kObjects = "objects";
inline constexpr const char* kPlacedResource = "resource";
inline constexpr const char* kPos = "pos";
inline constexpr const char* kRotation = "rotation";
inline constexpr const char* kFlags = "flags";

inline constexpr const char* kDefaultType = "CTQResource";

// A float as JSON: a number that reads back as the same float (the shortest
// decimal form where that is exact), or "nan", "inf", "-inf".
Json FloatToJson(float value);
// A number that fits a float, or one of the three texts. False otherwise.
bool FloatFromJson(const Json& value, float& out);
// An integer that fits 32 bits. False otherwise.
bool Int32FromJson(const Json& value, std::int32_t& out);

// An attribute as a one-key object naming its type: {"int": 3}, {"float": 0.5},
// {"string": "a"}, {"none": null}. Booleans are stored as integers, so they come
// back as {"int": 0 or 1}.
Json AttributeToJson(const CTQProperty& value);
// Reads {"int": n}, {"float": x}, {"string": s}, {"bool": b} or {"none": null};
// false with a reason in error otherwise.
bool AttributeFromJson(const Json& value, CTQProperty& out, std::string& error);

// The description as text for people: two-space indents, with an object or array
// that holds only plain values on one line when it fits ({"int": 3}, [0, 1, 2]).
// Text that is not UTF-8 is printed with U+FFFD in place of the bad bytes.
std::string Print(const Json& value);
} // namespace ResJson
