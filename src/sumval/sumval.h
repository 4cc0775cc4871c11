#ifndef VELTRAN_SUMVAL_H
#define VELTRAN_SUMVAL_H
/*
 * libsumval: method-file verification and the CRC that protects method and
 * upgrade files. Plain C interface so the application can bind each function
 * by name at run time (dlopen/dlsym); only scalars and zero-terminated 8-bit
 * texts cross the boundary, nothing is allocated for the caller.
 *
 * The CRC: polynomial 0x1021, initial value 0xFFFF, most significant bit first,
 * no reflection, no final XOR. The register is 32 bits wide and never masked,
 * so the low 16 bits are the CRC and the high 16 bits are the last 16 bits
 * shifted out of bit 15. "abc" leaves 0xF00A514A, "123456789" 0x4B9129B1.
 * A protected file carries its CRC in its last two bytes, high byte first;
 * the register over the whole file is then exactly 0.
 *
 * Not reentrant: the read buffer and the allowed-type table are static, so
 * calls must not overlap.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SUMVAL_API __attribute__((visibility("default")))
#else
#define SUMVAL_API
#endif

/* Results of VerifyMethodFile. */
enum {
    SUMVAL_VALID = 0,
    SUMVAL_BAD_NAME = 3,       /* base name lacks a four-digit number > 0 */
    SUMVAL_BAD_CHECKSUM = 4,   /* whole-file register is not 0, or unreadable */
    SUMVAL_BAD_METHOD_TYPE = 5 /* no MethType line, or type not allowed */
};

/* GetFileChecksum's answer for a file that cannot be opened or is empty. */
#define SUMVAL_UNREADABLE 0xFFFFu

/*
 * Decides whether the method file at `path` may be sent to a titrator of the
 * given family (0..3; any other value allows only type 32). Tests, stopping at
 * the first failure:
 *  1. Name: the base name (no folder, no extension), upper-cased. When it
 *     contains "QX" the number field starts at its 3rd character, otherwise
 *     at its 5th ("USER0001"). The field's first 4 characters must all be
 *     digits and their value greater than 0. Failure: SUMVAL_BAD_NAME.
 *  2. Checksum: GetFileChecksum(path) must be 0. Failure: SUMVAL_BAD_CHECKSUM.
 *  3. Method type: the text is read in pieces of at most 79 characters
 *     (fgets into an 80-byte buffer). The first piece that contains
 *     "MethType" and a blank, and whose text after its first blank does not
 *     contain "MethType", gives the type as the decimal number after that
 *     blank. Allowed: family 0 {32, 40}, 1 {32, 33, 37, 40}, 2 {34}, 3 {36},
 *     other {32}. No such piece or a type not allowed: SUMVAL_BAD_METHOD_TYPE.
 * The name test runs on an upper-cased copy; the file is opened by `path`
 * exactly as given (case matters on the file systems we run on).
 * A null path fails the name test.
 */
SUMVAL_API int32_t VerifyMethodFile(const char* path, int32_t family);

/*
 * The 32-bit CRC register after running over every byte of the file at
 * `path`, read in binary mode in 4000-byte blocks. 0 means a correctly
 * sealed file. SUMVAL_UNREADABLE (65535) when the file cannot be opened, is
 * empty, is not a regular file (a FIFO, a device, a folder), is larger than
 * 64 MiB, or when `path` is null.
 */
SUMVAL_API uint32_t GetFileChecksum(const char* path);

/*
 * The same CRC register run over the bytes of the zero-terminated `text`;
 * its low 16 bits are returned as a signed 16-bit number ("abc" -> 0x514A,
 * "123456789" -> 0x29B1, "" -> -1). The upgrade-file name rule reduces this
 * value modulo 100. A null text counts as the empty text.
 */
SUMVAL_API int16_t GetStringChecksum(const char* text);

#ifdef __cplusplus
}
#endif

#endif /* VELTRAN_SUMVAL_H */
