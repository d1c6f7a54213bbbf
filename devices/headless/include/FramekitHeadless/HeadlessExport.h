#pragma once

// The headless device layer's classes are exported whole, as Framekit's are.
#define FRAMEKITHEADLESS_API __attribute__((visibility("default")))
