#ifndef MARABU_MARABU_H
#define MARABU_MARABU_H
/*
 * Marabu, the web data library of Tellurio (libmarabu.so): price file,
 * portrait file and index page downloads, HTML pages to text, and the table
 * of fund providers.
 *
 * Boundary rules, the same for every export:
 *
 * - Texts are UTF-8.  A text goes in as (data, length); the library copies it
 *   during the call and keeps no pointer to it.  data may be NULL when length
 *   is 0.  On the wire and on disk the library uses code page 1252 and
 *   converts at that boundary.
 * - String lists belong to the caller.  The library reaches a list only
 *   through the caller's functions in MarabuStringList, so it never allocates,
 *   frees or resizes the caller's memory; appended texts are passed as
 *   (data, length) and must be copied by the caller's append function before
 *   it returns.  Texts that an export returns are delivered the same way,
 *   through a MarabuTextSink.  The caller's functions must not unwind (throw)
 *   through the library: a C++ caller catches inside them (the wrapper in
 *   MarabuClient.h does).
 * - Nothing allocated by one side is freed by the other.  No export keeps a
 *   connection, file or buffer after it returns; only the provider table and
 *   the portrait labels live as long as the library.
 * - No export lets an error escape.  Downloads report failures as a status
 *   and in a caller-owned MarabuError; the other exports return MARABU_OK or
 *   MARABU_ERROR_INTERNAL (out of memory).
 * - Calls are synchronous.  The downloads change the process current
 *   directory and restore the working directory before they return, so calls
 *   must not overlap (they are serialised inside the library); the library's
 *   own file work never depends on the current directory.
 *
 * Servers (http:// or https://), time limits and the certificate authorities
 * are configuration; see weblib/README.md (marabu.conf, MARABU_* environment
 * variables).
 */

#include <stddef.h>
#include <stdint.h>

#if defined(MARABU_BUILDING_LIBRARY)
#define MARABU_API __attribute__((visibility("default")))
#else
#define MARABU_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A caller-owned, ordered list of texts; indices run from 0. */
typedef struct MarabuStringList {
  void* self;
  /* Removes every entry. */
  void (*clear)(void* self);
  /* Appends a copy of the text (UTF-8, length bytes, not NUL-terminated). */
  void (*append)(void* self, const char* data, size_t length);
  /* Number of entries. */
  size_t (*size)(const void* self);
  /* Entry index (< size); *length receives its byte count.  The pointer stays
   * valid until the list is next changed. */
  const char* (*at)(const void* self, size_t index, size_t* length);
} MarabuStringList;

/* Receives a text that an export returns; called at most once per call. */
typedef struct MarabuTextSink {
  void* self;
  void (*assign)(void* self, const char* data, size_t length);
} MarabuTextSink;

/* Status of an export and kind of a failure. */
enum MarabuStatus {
  MARABU_OK = 0,
  MARABU_ERROR_CONNECT = 1,       /* the server refused or could not be reached */
  MARABU_ERROR_HOST = 2,          /* the host name is unknown (DNS) */
  MARABU_ERROR_SEND = 3,          /* the request could not be sent */
  MARABU_ERROR_RECEIVE = 4,       /* no answer, an answer that broke off, was not HTTP or was malformed */
  MARABU_ERROR_TIMEOUT = 5,       /* connect or total time limit reached */
  MARABU_ERROR_HTTP_STATUS = 6,   /* the server answered with a status other than 2xx */
  MARABU_ERROR_FILE = 7,          /* the target file could not be created or written */
  MARABU_ERROR_CONFIGURATION = 8, /* marabu.conf or a MARABU_* variable is invalid */
  MARABU_ERROR_ARGUMENT = 9,      /* a required argument is missing (NULL, empty working directory) */
  MARABU_ERROR_INTERNAL = 10,     /* out of memory or another failure inside the library */
  MARABU_ERROR_REDIRECT = 11,     /* a redirect that is not followed, or too many redirects */
  MARABU_ERROR_TLS = 12           /* HTTPS: the certificate could not be verified, or no secure connection */
};

enum { MARABU_SERVER_SIZE = 272, MARABU_MESSAGE_SIZE = 1024 };

/* Filled by the download exports; owned by the caller (fixed size, no
 * pointers).  On success kind is MARABU_OK and the texts are empty. */
typedef struct MarabuError {
  int32_t kind;        /* enum MarabuStatus */
  int32_t httpStatus;  /* the server's status code, 0 when none was received */
  int32_t systemError; /* errno of a file failure, else 0 */
  /* "host:port" of the server concerned, NUL-terminated. */
  char server[MARABU_SERVER_SIZE];
  /* German text for a "Fehler" message box that names the server and the
   * reason, NUL-terminated UTF-8 (cut at a character boundary). */
  char message[MARABU_MESSAGE_SIZE];
} MarabuError;

/*
 * Makes path (UTF-8) the process current directory.  Nothing happens when the
 * current directory already equals path byte for byte.  Otherwise the library
 * climbs to the file system root "/" (the counterpart of a drive root) and
 * enters each component of path in order; a component that cannot be entered
 * is skipped silently and the next is tried from where the process stands.  A
 * relative path is taken relative to the current directory.  No result.
 */
MARABU_API void ArbeitsverzeichnisEinstellen(const char* path, size_t pathLength);

/*
 * Downloads today's price file of the web provider (a display name of the
 * provider table) from the publisher's web server: path "/Daten/" + key + "/"
 * + TTMMJJJJ.txt (the server's root document when the name is not in the
 * table).  It is stored byte for byte as
 *   workingDirectory/Fondpreise/priceDirectory/JJJJ/<month name>/TTMMJJJJ.txt
 * (the directories must exist; the library creates none) and its lines are
 * returned in out (cleared first).  On any failure, a status other than 2xx
 * included, nothing under "Fondpreise" changes and out is left empty.
 */
MARABU_API int FileAusInternetLaden(const MarabuStringList* out, const char* webProvider, size_t webProviderLength,
                                    const char* priceDirectory, size_t priceDirectoryLength,
                                    const char* workingDirectory, size_t workingDirectoryLength, MarabuError* error);

/*
 * Downloads the price file of the given day (date "TT.MM.JJJJ", a valid date
 * from 1900 on) of the web provider from the publisher's web server, exactly
 * as FileAusInternetLaden does for today: path "/Daten/" + key + "/" +
 * TTMMJJJJ.txt, stored byte for byte as
 *   workingDirectory/Fondpreise/priceDirectory/JJJJ/<month name>/TTMMJJJJ.txt
 * with the year and month of that day (the directories must exist), and its
 * lines returned in out (cleared first).  A day the publisher has no file for
 * is MARABU_ERROR_HTTP_STATUS with httpStatus 404.  A date that is not valid
 * is MARABU_ERROR_ARGUMENT and sends no request.  On any failure nothing under
 * "Fondpreise" changes and out is left empty.
 */
MARABU_API int FileVomTagAusInternetLaden(const MarabuStringList* out, const char* webProvider,
                                          size_t webProviderLength, const char* priceDirectory,
                                          size_t priceDirectoryLength, const char* workingDirectory,
                                          size_t workingDirectoryLength, const char* date, size_t dateLength,
                                          MarabuError* error);

/*
 * Downloads "/Daten/portrait.txt" from the publisher's web server into
 * workingDirectory/portrait.txt (replaced only when the download succeeds).
 * The fund identification number and the list are accepted and not used:
 * the list is not touched at all.
 */
MARABU_API int FondportraitHolen(const char* wkn, size_t wknLength, const MarabuStringList* out,
                                 const char* workingDirectory, size_t workingDirectoryLength, MarabuError* error);

/*
 * Downloads "/home/index.html" from the index page server into
 * workingDirectory/dax1.html and, when the line after the first line holding
 * "ak_dax_stand" has text before its first "<", appends today's date
 * "TT.MM.JJJJ" and that text to out (which is not cleared).  Otherwise, and on
 * any failure, out stays as it was.
 */
MARABU_API int DAXLaden(const MarabuStringList* out, const char* workingDirectory, size_t workingDirectoryLength,
                        MarabuError* error);

/* Replaces the content of out by the 262 provider display names in table
 * order. */
MARABU_API int BankenHolen(const MarabuStringList* out);

/* Delivers text without leading and trailing blanks (code 32 only) to
 * result; a text made only of blanks is delivered unchanged. */
MARABU_API int LeerzeichenLoeschen(const char* text, size_t textLength, const MarabuTextSink* result);

/*
 * Converts the lines of a page (in) into the field list of its page kind
 * (out, cleared first) and delivers the short result text to result (which may
 * be NULL).  in and out may be the same list.
 */
MARABU_API int HtmlToText(const MarabuStringList* in, const MarabuStringList* out, const MarabuTextSink* result);

/*
 * Downloads the performance data (mode 0: path
 * "/fondsportrait/popchart/wertentwicklung.hbs?wkn=" + wkn) or the competitor
 * data (any other mode: ".../konkurenz.hbs?wkn=" + wkn) from the comparison
 * page server into workingDirectory/testi.txt.  A non-empty answer is
 * converted with HtmlToText behind the first line "Wertentwicklung" or
 * "Konkurenz", replaces the content of out, and testi.txt is deleted; an empty
 * answer leaves out unchanged and the empty testi.txt in place.
 */
MARABU_API int KonkurrenzHolen(const char* wkn, size_t wknLength, const MarabuStringList* out,
                               const char* workingDirectory, size_t workingDirectoryLength, int32_t mode,
                               MarabuError* error);

/*
 * Test hook, not used by the program: makes the library's "today" the given
 * date (year 0 returns to the system clock in UTC).  Not thread-safe with
 * respect to running exports.
 */
MARABU_API void MarabuTestHeuteSetzen(int32_t year, int32_t month, int32_t day);

#ifdef __cplusplus
}
#endif

#endif
