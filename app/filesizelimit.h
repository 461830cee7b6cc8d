#ifndef ZYRAPP_FILESIZELIMIT_H
#define ZYRAPP_FILESIZELIMIT_H

// Makes a write that meets the process's file-size limit come back short with an error, as a
// full disk does, rather than end the program; the result log then trims its last record and
// reports the failure. Called once at program start.
void letFileSizeLimitFailWrites();

#endif // ZYRAPP_FILESIZELIMIT_H
