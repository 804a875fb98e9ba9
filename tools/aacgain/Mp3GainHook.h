/* The AAC path's entry points into mp3gain's per-file code. This header is
 * included first into mp3gain.c when the tool is built: it routes every tag
 * read, tag write, tag removal and gain change of an MP4 file to the AAC
 * path, keeps WAV, AIFF and FLAC files away from the MP3 code, and leaves
 * every other file to mp3gain's own code. The few places in
 * mp3gain.c's main loop that call the functions below directly are edited
 * in at build time (tools/aacgain/hook-mp3gain). */
#ifndef VELTO_MP3GAIN_HOOK_H
#define VELTO_MP3GAIN_HOOK_H

struct MP3GainTagInfo;
struct FileTagsStruct;

#ifdef __cplusplus
extern "C" {
#endif

/* True for a file the tool refuses: an MP4 file it cannot change (Apple
 * Lossless, protected, damaged, ...) or a WAV, AIFF or FLAC file. Its one
 * error line is printed the first time. */
int veltoAacRefuses(char* filename);
/* True for a file that mp3gain's MP3 code must never see (every MP4 file
 * and every refused file), and for an MP4 file with AAC audio the tool can
 * change. */
int veltoAacOwns(char* filename);
int veltoAacHandles(char* filename);
/* Walks the file's blocks for the min/max global_gain and, with decode,
 * decodes it for the peak (maxsample, as mp3gain keeps it) and, with
 * loudness, feeds mp3gain's loudness analysis (initialising it when *first
 * is set, as mp3gain does for the first file). False after an error line. */
int veltoAacAnalyze(char* filename, int decode, int loudness, int initialise, double* maxsample,
                    unsigned char* maxgain, unsigned char* mingain, int* first);
int veltoAacChangeGain(char* filename, int leftgainchange, int rightgainchange);

int veltoReadTags(char* filename, struct MP3GainTagInfo* info, struct FileTagsStruct* fileTags);
int veltoWriteTags(char* filename, struct MP3GainTagInfo* info, struct FileTagsStruct* fileTags,
                   int saveTimeStamp);
int veltoRemoveTags(char* filename, int saveTimeStamp);
int veltoReadId3Tags(char* filename, struct MP3GainTagInfo* info);
int veltoWriteId3Tags(char* filename, struct MP3GainTagInfo* info, int saveTimeStamp);
int veltoRemoveId3Tags(char* filename, int saveTimeStamp);

#ifdef __cplusplus
}
#endif

#ifdef VELTO_MP3GAIN_MAIN
/* In mp3gain.c only: its calls reach the functions above. */
#define ReadMP3GainAPETag veltoReadTags
#define WriteMP3GainAPETag veltoWriteTags
#define RemoveMP3GainAPETag veltoRemoveTags
#define ReadMP3GainID3Tag veltoReadId3Tags
#define WriteMP3GainID3Tag veltoWriteId3Tags
#define RemoveMP3GainID3Tag veltoRemoveId3Tags

/* mp3gain's own changeGain is renamed mp3ChangeGain at build time; its
 * callers reach this one. */
static int mp3ChangeGain(char* filename, int leftgainchange, int rightgainchange);
static int changeGain(char* filename, int leftgainchange, int rightgainchange) {
    if (veltoAacOwns(filename)) {
        return veltoAacChangeGain(filename, leftgainchange, rightgainchange);
    }
    return mp3ChangeGain(filename, leftgainchange, rightgainchange);
}
#endif

#endif
