#pragma once

// Every class of the library is exported whole: its class interface is the
// library's boundary.
#define FRAMEKIT_API __attribute__((visibility("default")))
