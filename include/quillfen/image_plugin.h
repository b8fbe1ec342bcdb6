/* Quillfen image decoder plug-in binary interface (Linux form).
 *
 * An image plug-in is a shared library exporting, with C linkage,
 *
 *   int IsSupported(const char* fileName, void* head)
 *   int GetPicture(const char* buffer, intptr_t length, unsigned int flag,
 *                  void** info, void** bits,
 *                  qf_ImageProgress progress, intptr_t progressData)
 *   void FreeBlock(void* block)
 *
 * Plain functions, usable from C and C++; pointers and lengths are native.
 *
 * How the engine uses a plug-in, once per picture:
 *  - it loads the library, looks the three entries up by name (a library
 *    lacking one of them is not used), and frees the library afterwards.
 *    "GetPluginInfo" and "GetPictureInfo" may be exported as well; the engine
 *    does not call them;
 *  - IsSupported is called with a null file name and the address of the whole
 *    picture file in memory; it returns non-zero when the plug-in reads it;
 *  - GetPicture is called with the same memory block, its length in bytes and
 *    flag 1 (the input is a memory image). On success it returns 0 and stores
 *    two blocks it allocated itself: *info starts with a 40-byte bitmap info
 *    header (qf_ImageInfoHeader), *bits holds the pixel rows. The engine only
 *    reads pictures of 24 bits per pixel, width and height from 1 to 32767,
 *    with the rows bottom-up, each width × 3 bytes of blue, green, red padded
 *    to a multiple of 4 bytes. Any other result, or a null block, is a picture
 *    the plug-in refused. The engine calls progress with nothing; a plug-in
 *    that calls it gets 0 (go on);
 *  - each block GetPicture stored is handed back to FreeBlock once the engine
 *    has copied the picture.
 * The engine calls a plug-in from one thread only.
 */
#ifndef QUILLFEN_IMAGE_PLUGIN_H
#define QUILLFEN_IMAGE_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The 40-byte bitmap info header at the start of the info block. */
typedef struct qf_ImageInfoHeader {
    uint32_t biSize; /* 40 */
    int32_t biWidth;
    int32_t biHeight; /* positive: rows stored bottom-up */
    uint16_t biPlanes; /* 1 */
    uint16_t biBitCount; /* 24 */
    uint32_t biCompression; /* 0 */
    uint32_t biSizeImage; /* bytes of the bits block: padded row size × height */
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} qf_ImageInfoHeader;

/* Flag of GetPicture: the buffer is the picture file in memory. */
#define QF_IMAGE_FROM_MEMORY 1u

typedef int (*qf_ImageProgress)(int done, int total, intptr_t data);

typedef int (*qf_IsSupported_fn)(const char* fileName, void* head);
typedef int (*qf_GetPicture_fn)(const char* buffer, intptr_t length, unsigned int flag, void** info, void** bits,
                                qf_ImageProgress progress, intptr_t progressData);
typedef void (*qf_FreeBlock_fn)(void* block);

#ifdef __cplusplus
}
#endif

#endif /* QUILLFEN_IMAGE_PLUGIN_H */
