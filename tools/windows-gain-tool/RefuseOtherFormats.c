/* Velto's guard in the gain tool it builds: before anything is read or
   written, every file argument that begins as an MP4, RIFF (WAV), AIFF or
   FLAC file does is refused with an error line and taken out of the argument
   list, so that no later step of the tool sees it. MPEG audio readers find
   chance frame headers in such files and would change their bytes. */
#include "rg_error.h"

#include <stdio.h>
#include <string.h>

static int beginsAsOtherFormat(const char *path) {
    unsigned char head[12];
    size_t count;
    FILE *file = fopen(path, "rb");
    if (!file) {
        return 0; /* the tool reports what it cannot open */
    }
    count = fread(head, 1, sizeof head, file);
    fclose(file);
    if (count >= 8 && memcmp(head + 4, "ftyp", 4) == 0) {
        return 1;
    }
    return count >= 4 && (memcmp(head, "RIFF", 4) == 0 || memcmp(head, "RF64", 4) == 0 ||
                          memcmp(head, "FORM", 4) == 0 || memcmp(head, "fLaC", 4) == 0);
}

/* Returns the new argument count. */
int veltoRefuseOtherFormats(int argc, char **argv, int fileStart) {
    int from, to = fileStart;
    for (from = fileStart; from < argc; from++) {
        if (beginsAsOtherFormat(argv[from])) {
            char message[4096];
            snprintf(message, sizeof message,
                     "%s is not an MPEG audio file (it begins as an MP4, WAV, AIFF or FLAC file "
                     "does) and is left unchanged\n",
                     argv[from]);
            DoError(message, MP3GAIN_FILEFORMAT_NOTSUPPORTED);
        } else {
            argv[to++] = argv[from];
        }
    }
    return to;
}
