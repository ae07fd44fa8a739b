// Whether a Windows program carries an Authenticode signature, read from the file alone: the
// security directory of its PE header. Nothing is verified (no chain, no network): a player's
// Windows does that; the publisher's tools only say when there is nothing to verify.
#pragma once

#include <string>

enum class PeSignature {
  unreadable,  // the file can't be opened or read
  not_pe,      // no MZ and PE header, or one cut short
  unsigned_pe,
  signed_pe,  // a PKCS #7 signed-data certificate entry inside the file
};

// exe in the platform's bytes, as the other file functions of the tools take it.
PeSignature read_pe_signature(const std::string& exe);

// What both tools say of an update.exe without a signature.
extern const char kUnsignedExeAdvice[];
