// The setup record and the two tables that the setup list fills. Plain process-wide state: the
// parser fills it once at start-up, everything after only reads it, and it is never freed.
#pragma once

#include <cstdint>

constexpr int kTitleWidth = 100;
constexpr int kPathWidth = 256;
constexpr int kRegWidth = 1024;
constexpr int kTypeCapacity = 32;
constexpr int kTypeNameWidth = 64;
constexpr int kFileCapacity = 256;
constexpr int kFileNameWidth = 32;

// A file listed under no type (or under a header that named no known type) carries bit 31 only.
constexpr uint32_t kNoTypeMask = 0x80000000u;

struct SetupFields {
  char TITLE[kTitleWidth];
  char TITLE_OLD[kTitleWidth];
  char PATH[kPathWidth];
  char REG_KEY[kRegWidth];
  char REG_P[kRegWidth];
  char REG_S[kRegWidth];
  char REG_T[kRegWidth];
};

struct TypeList {
  char type_name[kTypeCapacity][kTypeNameWidth];
  int8_t type_count;
};

struct FileList {
  char file_name[kFileCapacity][kFileNameWidth];
  uint32_t type_mask[kFileCapacity];
  int32_t file_count;
};

extern const SetupFields kSetupDefaults;
extern SetupFields SetupRecord;
extern TypeList TypeTable;
extern FileList FileTable;

// Bit (type mod 32) of a type index, taking only the index's low five bits: -1 gives bit 31.
uint32_t type_mask_of(int32_t type);

// The writes the parser makes. The appends assume the caller has checked the capacity.
void reset_tables();
void append_type_name(const char* line);
void append_file(const char* line, int32_t type);
// Joins REG_P, REG_S and REG_T with single backslashes; false when the key did not fit (it is
// then cut, never overrun).
bool compose_reg_key();
