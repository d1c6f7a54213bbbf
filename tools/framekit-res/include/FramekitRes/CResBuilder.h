#pragma once

#include <filesystem>
#include <string>

class CResReport;

// Compiles a JSON description into a resource file.
//
// The description (comments // and /* */ are allowed):
//
//   {
//     "kind": "database",              "database" (default) or "classes"
//     "resources": [
//       {
//         "id": 3,                     database: optional; otherwise the smallest
//                                      id not given to another resource, in list
//                                      order. Classes: not allowed (prototypes have
//                                      no id).
//         "name": "crate",             required; unique in a class file (the key)
//         "type": "CTQMeshVisualRes",  a class registered with the resource
//                                      factory; default "CTQResource"
//         "resourceClass": "Crates",   database only: the entry's resource class
//                                      name; default ""
//         "associatedClass": "CGameCrate",  default ""
//         "singleton": false,          default false
//         "attributes": {              each a one-key object naming its type
//           "nHealth": {"int": 100},
//           "fMass": {"float": 2.5},   also "nan", "inf", "-inf"
//           "szLabel": {"string": "wood"},
//           "bBreakable": {"bool": true},   stored as the integer 1
//           "xEmpty": {"none": null}
//         },
//         "references": {
//           "refLid": "crate lid",     a resource of this file by its (unique)
//                                      name; the reference's class is that
//                                      resource's resourceClass
//           "refA": {"resource": "crate lid", "class": "Lids"},
//           "refB": {"id": 17, "class": "Lids"}  any id, also one that is not in
//                                      the file, or -1; class default: the
//                                      resourceClass of the resource with that id
//                                      in this file, else ""
//         },
//         "dependencies": [4, 9],      optional: exactly these back-links instead
//                                      of those that the file's references make
//         "visual": {                  types derived from CTQ3DVisualRes only
//           "vertexBuffer": "crate.vb",     read for bounds and counts, relative
//                                      to the description's folder, unless all
//                                      four of the next keys are given
//           "texture": "crate.png",
//           "mesh": "crate.mesh",      types derived from CTQMeshVisualRes only
//           "boundsMin": [-1, -1, 0], "boundsMax": [1, 1, 2],
//           "vertexCount": 24, "triangleCount": 12
//         },
//         "objects": [                 types derived from CTQObjectListRes only:
//                                      the placements, indices 0, 1, ... in order
//           {"resource": "tree",       a resource of this file by its (unique)
//                                      name, or any id as a number (also -1 or
//                                      one that is not in the file)
//            "pos": [4, 8, 0],         default [0, 0, 0]
//            "rotation": [0, 0, 1.5],  radians about X, Y, Z; default [0, 0, 0]
//            "flags": 1}               16 bits, bit 0: height fixed; default 0
//         ]
//       }
//     ]
//   }
//
// Unknown keys are errors (a misspelt key would otherwise be lost silently).
// Resources are written with record version 2. Building a description that
// framekit-res dump printed gives the file that was dumped, byte for byte, when
// that file's records were of version 2 (dump prints ids, geometry, and the
// back-links that the references would not make).
//
// While it runs the builder has a resource database and a resource class
// database of its own, which are the current ones; the caller must not rely on
// current databases of its own across the call.
class CResBuilder
{
public:
    // Reads jsonPath and writes outPath. False, with errors in report naming the
    // description and the resource, when anything is wrong; outPath is then not
    // left behind.
    static bool BuildFile(const std::string& jsonPath, const std::string& outPath, CResReport& report);
    // The same from the text of a description: sourceName names it in messages,
    // baseDir is where its vertex-buffer files are found.
    static bool BuildText(const std::string& jsonText, const std::string& sourceName,
                          const std::filesystem::path& baseDir, const std::string& outPath, CResReport& report);
};
