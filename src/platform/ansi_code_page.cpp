// Which bytes lead a double-byte character in the system's ANSI code page.
#include "plan/dbcs.h"

#ifdef _WIN32

#include <windows.h>

bool ansi_lead_byte(unsigned char b) {
  return IsDBCSLeadByte(b) != FALSE;
}

#else

#include "setuplist/text.h"

// The Linux build stands in for a Japanese Windows, whose ANSI code page is 932.
bool ansi_lead_byte(unsigned char b) {
  return is_cp932_lead(b);
}

#endif
