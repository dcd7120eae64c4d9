// The row-set platform's numbers: states, cursor and lock types, edit modes, field types and
// attributes, and the error numbers callers may test for.
#pragma once

#include <cstdint>

namespace quorvan::data {

enum ObjectState : int32_t { kStateClosed = 0, kStateOpen = 1 };
enum CursorLocation : int32_t { kUseServer = 2, kUseClient = 3 };
enum CursorType : int32_t {
  kOpenForwardOnly = 0,
  kOpenKeyset = 1,
  kOpenDynamic = 2,
  kOpenStatic = 3
};
enum LockType : int32_t {
  kLockReadOnly = 1,
  kLockPessimistic = 2,
  kLockOptimistic = 3,
  kLockBatchOptimistic = 4
};
enum EditMode : int32_t { kEditNone = 0, kEditInProgress = 1, kEditAdd = 2, kEditDelete = 4 };
enum AffectEnum : int32_t { kAffectCurrent = 1, kAffectGroup = 2, kAffectAll = 3 };

enum FieldType : int32_t {
  kTypeEmpty = 0,
  kTypeSmallInt = 2,
  kTypeInteger = 3,
  kTypeSingle = 4,
  kTypeDouble = 5,
  kTypeCurrency = 6,
  kTypeDate = 7,
  kTypeBoolean = 11,
  kTypeVariant = 12,
  kTypeBigInt = 20,
  kTypeDBTimeStamp = 135,
  kTypeWChar = 130,
  kTypeVarWChar = 202,
  kTypeLongVarWChar = 203,
};

enum FieldAttribute : int32_t {
  kFieldMayDefer = 0x2,
  kFieldUpdatable = 0x4,
  kFieldUnknownUpdatable = 0x8,
  kFieldFixed = 0x10,
  kFieldIsNullable = 0x20,
  kFieldMayBeNull = 0x40,
  kFieldLong = 0x80,
  kFieldRowId = 0x100,
  kFieldKeyColumn = 0x8000,
};

// Error numbers, as the row-set platform reports them.
namespace data_error {
inline constexpr int32_t kProviderError = static_cast<int32_t>(0x80004005u);  // generic failure
inline constexpr int32_t kSyntaxError = static_cast<int32_t>(0x80040E14u);
inline constexpr int32_t kIntegrityViolation = static_cast<int32_t>(0x80040E2Fu);
inline constexpr int32_t kRowNotLocated = static_cast<int32_t>(0x80040E38u);
inline constexpr int32_t kProviderNotFound = 3706;
inline constexpr int32_t kBofOrEof = 3021;
inline constexpr int32_t kNotInCollection = 3265;
inline constexpr int32_t kNotAllowedInContext = 3219;
inline constexpr int32_t kObjectClosed = 3704;
inline constexpr int32_t kObjectOpen = 3705;
inline constexpr int32_t kArgumentsWrongType = 3001;
inline constexpr int32_t kNotSupported = 3251;
}  // namespace data_error

}  // namespace quorvan::data
