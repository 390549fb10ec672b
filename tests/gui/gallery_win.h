#pragma once

// What the two galleries of the GUI tests share: one process, one stdout the test reads line by line.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Opens the two data views in known states over the kit; false when the window cannot be made.
bool ShowViewsGallery();
