#pragma once

// Copies the eight string-table entries into their buffers in the saver globals, each cut
// to its buffer's size. Loading again restores the rate label to its text alone.
void LoadSaverStrings();
