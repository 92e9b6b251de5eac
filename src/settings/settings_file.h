#pragma once

// The settings file is a 512-byte binary record named by the string table ("Varbule.ini").
// Where the platform keeps settings per user (Windows NT's application data, Linux's XDG
// configuration) it lives in a folder of the saver's own there, and is read from there
// when it exists, else by its bare name from the current directory; it is written there,
// or in the current directory where there is no such place. Byte 1 is the varbule count;
// every other byte is carried through unchanged.
constexpr int kVarbuleCountOffset = 1;

// Reads the record and takes the count from it. A file that cannot be opened or read
// changes nothing, and neither does anything under that name that is not a file (a pipe
// would hold the read up for ever); a short file supplies what it has.
void ReadSettingsFile();

// Stores the count in the record and writes all 512 bytes. Returns false, having written
// nothing, when the file cannot be opened for writing or the name is not a file's.
bool WriteSettingsFile();
