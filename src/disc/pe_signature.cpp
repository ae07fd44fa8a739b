// Reads the PE security directory (IMAGE_DIRECTORY_ENTRY_SECURITY) of a program. Unlike the other
// directories its address is a file offset, not an RVA, and signtool and osslsigncode append the
// certificate table at the end of the file, outside every section.
#include "pe_signature.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "system/paths.h"

namespace {

uint32_t le(const std::vector<unsigned char>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v << 8 | b[at + i];
  return v;
}

}  // namespace

const char kNotAProgram[] =
    "no header of a Windows program: MZ, then PE and the header of an executable, not a DLL's";

const char kUnsignedExeAdvice[] =
    "update.exe carries no Authenticode signature: players who download it get Windows' warning "
    "about an unknown publisher. Sign it, then make the disc (the publisher's guide, 2.4)";

PeSignature read_pe_signature(const std::string& exe) {
  std::ifstream in(file_path(exe), std::ios::binary);
  if (!in) return PeSignature::unreadable;
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  if (in.bad()) return PeSignature::unreadable;
  const uint64_t size = b.size();
  if (size < 0x40 || b[0] != 'M' || b[1] != 'Z') return PeSignature::not_pe;
  const uint64_t pe = le(b, 0x3C, 4);
  // Signature, COFF header (20 bytes) and the optional header's magic.
  if (pe + 4 + 20 + 2 > size || le(b, pe, 4) != 0x00004550) return PeSignature::not_pe;
  // IMAGE_FILE_EXECUTABLE_IMAGE set, IMAGE_FILE_DLL clear: Windows starts nothing else.
  const uint32_t characteristics = le(b, pe + 22, 2);
  if ((characteristics & 0x0002) == 0 || (characteristics & 0x2000) != 0)
    return PeSignature::not_pe;
  const uint64_t optional = pe + 24;
  const uint64_t optional_size = le(b, pe + 20, 2);
  uint64_t count_at = 0;  // NumberOfRvaAndSizes; the data directories follow it
  switch (le(b, optional, 2)) {
    case 0x10B:  // PE32
      count_at = 92;
      break;
    case 0x20B:  // PE32+
      count_at = 108;
      break;
    default:
      return PeSignature::not_pe;
  }
  if (optional_size < count_at + 4 || optional + count_at + 4 > size) return PeSignature::not_pe;
  const uint64_t kSecurity = 4;
  const uint64_t count = le(b, optional + count_at, 4);
  const uint64_t entry = optional + count_at + 4 + 8 * kSecurity;
  if (count <= kSecurity || entry + 8 > optional + optional_size || entry + 8 > size)
    return PeSignature::unsigned_pe;
  const uint64_t table = le(b, entry, 4), table_size = le(b, entry + 4, 4);
  if (table == 0 || table_size < 8 || table + table_size > size) return PeSignature::unsigned_pe;
  // WIN_CERTIFICATE: dwLength, wRevision 0x0200, wCertificateType 2 (PKCS_SIGNED_DATA).
  const uint64_t length = le(b, table, 4);
  const bool signed_data = length > 8 && length <= table_size && le(b, table + 4, 2) == 0x0200 &&
                           le(b, table + 6, 2) == 0x0002;
  return signed_data ? PeSignature::signed_pe : PeSignature::unsigned_pe;
}
