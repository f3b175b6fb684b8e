#pragma once

// The entry points of the add-on library (libLXPro.so). Window handles are QWidget pointers;
// paths are zero-terminated strings in the file system's encoding.
extern "C" {
// Places the add-on's controls inside the panel of the Spectrum page.
typedef void (*LXProCreateForm)(void* spectrumForm, void* panel);
// Refreshes the controls each time the Spectrum page is shown.
typedef void (*LXProShowForm)(void* panel);
// Writes the part of the source spectrum inside the chosen range to the target; 0 when the
// target was written, otherwise nothing is written.
typedef int (*LXProMakeAM15File)(const char* source, const char* target);
// Why the last MakeAM15File wrote nothing (optional; empty after a success).
typedef const char* (*LXProMakeAM15FileReason)();
}
