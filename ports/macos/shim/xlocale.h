// Locale-taking variants of the C library functions (the C++ library's
// locale support includes this on Apple systems). The C library's own
// headers declare them.
#pragma once
#include <ctype.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wchar.h>
#include <wctype.h>

// The C library also defines these as macros that read the locale's
// tables; the C++ library calls them as functions.
#undef isdigit_l
#undef isxdigit_l

// The C locale as Apple's C library names it, and the printf/scanf family
// with an explicit locale (xlocale(3)), which the C library here lacks.
#define LC_C_LOCALE ((locale_t)0)
#define LC_GLOBAL_LOCALE ((locale_t)-1)
#ifdef __cplusplus
extern "C" {
#endif
int sscanf_l(const char* str, locale_t loc, const char* format, ...);
int snprintf_l(char* str, size_t size, locale_t loc, const char* format, ...);
int asprintf_l(char** ret, locale_t loc, const char* format, ...);
int sprintf_l(char* str, locale_t loc, const char* format, ...);
size_t mbrtowc_l(wchar_t* pwc, const char* s, size_t n, mbstate_t* ps, locale_t loc);
size_t wcrtomb_l(char* s, wchar_t wc, mbstate_t* ps, locale_t loc);
size_t mbsnrtowcs_l(wchar_t* dst, const char** src, size_t nms, size_t len, mbstate_t* ps, locale_t loc);
size_t wcsnrtombs_l(char* dst, const wchar_t** src, size_t nwc, size_t len, mbstate_t* ps, locale_t loc);
size_t mbrlen_l(const char* s, size_t n, mbstate_t* ps, locale_t loc);
size_t mbsrtowcs_l(wchar_t* dst, const char** src, size_t len, mbstate_t* ps, locale_t loc);
int mbtowc_l(wchar_t* pwc, const char* s, size_t n, locale_t loc);
wint_t btowc_l(int c, locale_t loc);
int wctob_l(wint_t c, locale_t loc);
int ___mb_cur_max_l(locale_t loc);
struct lconv* localeconv_l(locale_t loc);
#define MB_CUR_MAX_L(x) ((size_t)___mb_cur_max_l(x))
#ifdef __cplusplus
}
#endif
