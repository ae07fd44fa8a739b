// Whether a Windows program carries an Authenticode signature, read from the file alone: the
// security directory of its PE header. Nothing is verified (no chain, no network): a player's
// Windows does that; the publisher's tools only say when there is nothing to verify.
#pragma once

#include <string>

enum class PeSignature {
  unreadable,  // the file can't be opened or read
  not_pe,      // no MZ and PE header, one cut short, or a DLL's: no program Windows starts
  unsigned_pe,
  signed_pe,  // a PKCS #7 signed-data certificate entry inside the file
};

// exe is a path as the tools hold it (system.h).
PeSignature read_pe_signature(const std::string& exe);

// Why a file that reads as not_pe is no program, for a message.
extern const char kNotAProgram[];

// What both tools say of an update.exe without a signature.
extern const char kUnsignedExeAdvice[];
