// Whether a Windows program carries an Authenticode signature, read from the file alone: the
// security directory of its PE header. Nothing is verified (no chain, no network): a player's
// Windows does that; the publisher's tools only say when there is nothing to verify.
#pragma once

#include <filesystem>

enum class PeSignature {
  unreadable,  // the file can't be opened or read
  not_pe,      // no MZ and PE header, or one cut short
  unsigned_pe,
  signed_pe,  // a PKCS #7 signed-data certificate entry inside the file
};

PeSignature read_pe_signature(const std::filesystem::path& exe);
