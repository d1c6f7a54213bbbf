#pragma once

// The sample's sections beyond main.cpp, one file each.
void ShowInput();
void ShowCalendar();
void ShowDisplay(const char* levelPath);
void ShowSpatial(const char* levelPath);
