#include "platform/data/recordset.h"

#include <algorithm>
#include <cassert>

#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/error_record.h"
#include "platform/automation/safe_array.h"
#include "platform/data/connection.h"
#include "platform/data/data_error.h"
#include "platform/data/field.h"
#include "platform/data/sql_dialect.h"
#include "platform/files/file_system.h"

namespace quorvan::data {
namespace {

constexpr const char* kSource = "QuorvanData.Recordset";
constexpr const char* kKeyAlias = "QVKEY";

bool Given(const Variant& value) { return !value.IsMissing() && !value.IsEmpty(); }

bool IsKeyAlias(const std::string& name) { return name.rfind(kKeyAlias, 0) == 0; }

// "NAME LIKE 'pattern'" with * or % as wildcards, or "NAME = value".
struct FindCriterion {
  std::string field;
  bool like = false;
  Variant value;
};

FindCriterion ParseCriterion(const std::string& criteria) {
  FindCriterion criterion;
  const std::string text = criteria;
  size_t pos = text.find_first_not_of(" \t");
  size_t end = pos;
  while (end < text.size() && text[end] != ' ' && text[end] != '=' && text[end] != '\t') ++end;
  if (pos == std::string::npos || end == pos)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "Find criteria");
  criterion.field = text.substr(pos, end - pos);
  pos = text.find_first_not_of(" \t", end);
  if (pos != std::string::npos && text[pos] == '=') {
    ++pos;
  } else if (pos != std::string::npos && EqualsIgnoringCase(text.substr(pos, 4), "LIKE")) {
    criterion.like = true;
    pos += 4;
  } else {
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "Find supports = and LIKE");
  }
  pos = text.find_first_not_of(" \t", pos);
  if (pos == std::string::npos)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "Find criteria");
  if (text[pos] == '\'' || text[pos] == '#') {
    const char quote = text[pos];
    std::string value;
    size_t i = pos + 1;
    for (; i < text.size(); ++i) {
      if (text[i] == quote) {
        if (i + 1 < text.size() && text[i + 1] == quote) {
          value += quote;
          ++i;
          continue;
        }
        break;
      }
      value += text[i];
    }
    if (i >= text.size())
      RaiseDataError(data_error::kArgumentsWrongType, kSource, "unclosed quote in Find criteria");
    if (text.find_first_not_of(" \t", i + 1) != std::string::npos) {
      RaiseDataError(data_error::kArgumentsWrongType, kSource, "Find takes one condition");
    }
    criterion.value = Variant(value);
  } else {
    criterion.value = Variant(text.substr(pos, text.find_last_not_of(" \t") - pos + 1));
  }
  return criterion;
}

std::string LowerText(const std::string& text) { return LowerAscii(text); }

// Wildcards * and % match any run of characters; case is ignored, as the platform's Find does.
bool LikeMatches(const std::string& text, const std::string& pattern) {
  const std::string t = LowerText(text);
  const std::string p = LowerText(pattern);
  size_t ti = 0, pi = 0, star = std::string::npos, mark = 0;
  while (ti < t.size()) {
    if (pi < p.size() && (p[pi] == '*' || p[pi] == '%')) {
      star = pi++;
      mark = ti;
    } else if (pi < p.size() && p[pi] == t[ti]) {
      ++pi;
      ++ti;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ti = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && (p[pi] == '*' || p[pi] == '%')) ++pi;
  return pi == p.size();
}

bool ValueMatches(const Variant& value, const FindCriterion& criterion) {
  if (value.IsNull()) return false;
  if (criterion.like) return LikeMatches(value.ToString(), criterion.value.ToString());
  try {
    if (value.IsString()) return EqualsIgnoringCase(value.string_ref(), criterion.value.ToString());
    return value.ToDouble() == criterion.value.ToDouble();
  } catch (const AutomationError&) {
    return false;
  }
}

std::string JoinColumns(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

}  // namespace

std::shared_ptr<Recordset> Recordset::Create() {
  return std::shared_ptr<Recordset>(new Recordset());
}

const ClassInfo& Recordset::Info() {
  static const ClassInfo info =
      ClassBuilder<Recordset>("Data.Recordset")
          .Get<&Recordset::ActiveConnection>("ActiveConnection")
          .Put<&Recordset::SetActiveConnection>("ActiveConnection", {In("Value")})
          .Get<&Recordset::CursorType>("CursorType")
          .Put<&Recordset::SetCursorType>("CursorType", {In("Value")})
          .Get<&Recordset::LockType>("LockType")
          .Put<&Recordset::SetLockType>("LockType", {In("Value")})
          .Get<&Recordset::CursorLocation>("CursorLocation")
          .Put<&Recordset::SetCursorLocation>("CursorLocation", {In("Value")})
          .Get<&Recordset::MaxRecords>("MaxRecords")
          .Put<&Recordset::SetMaxRecords>("MaxRecords", {In("Value")})
          .Get<&Recordset::Source>("Source")
          .Get<&Recordset::State>("State")
          .Get<&Recordset::AtEnd>("EOF")
          .Get<&Recordset::AtStart>("BOF")
          .Get<&Recordset::RecordCount>("RecordCount")
          .Get<&Recordset::EditMode>("EditMode")
          .Get<&Recordset::Fields>("Fields", {}, "Fields")
          .Method<&Recordset::Open>(
              "Open", {Optional("Source"), Optional("ActiveConnection"), Optional("CursorType"),
                       Optional("LockType"), Optional("Options")})
          .Method<&Recordset::Close>("Close")
          .Method<&Recordset::MoveFirst>("MoveFirst")
          .Method<&Recordset::MoveLast>("MoveLast")
          .Method<&Recordset::MoveNext>("MoveNext")
          .Method<&Recordset::MovePrevious>("MovePrevious")
          .Method<&Recordset::AddNew>("AddNew", {Optional("FieldList"), Optional("Values")})
          .Method<&Recordset::Update>("Update", {Optional("Fields"), Optional("Values")})
          .Method<&Recordset::CancelUpdate>("CancelUpdate")
          .Method<&Recordset::UpdateBatch>("UpdateBatch", {Optional("AffectRecords")})
          .Method<&Recordset::CancelBatch>("CancelBatch", {Optional("AffectRecords")})
          .Method<&Recordset::Delete>("Delete", {Optional("AffectRecords")})
          .Method<&Recordset::Save>("Save", {Optional("Destination"), Optional("PersistFormat")})
          .Method<&Recordset::Find>("Find", {In("Criteria"), Optional("SkipRecords"),
                                             Optional("SearchDirection"), Optional("Start")})
          .Build();
  return info;
}

// --- settings -------------------------------------------------------------------------

void Recordset::RequireOpen() const {
  if (!open_) RaiseDataError(data_error::kObjectClosed, kSource);
}

void Recordset::RequireClosed() const {
  if (open_) RaiseDataError(data_error::kObjectOpen, kSource);
}

Variant Recordset::ActiveConnection() const {
  return connection_ ? Variant(ObjectPtr(connection_)) : Variant::Nothing();
}

void Recordset::SetActiveConnection(const Variant& connection) {
  if (connection.IsObject()) {
    if (!connection.object_ref()) {
      connection_.reset();  // detached: the rows stay
      return;
    }
    auto typed = std::dynamic_pointer_cast<Connection>(connection.object_ref());
    if (!typed)
      RaiseDataError(data_error::kArgumentsWrongType, kSource,
                     "ActiveConnection needs a Connection");
    connection_ = typed;
    return;
  }
  if (connection.IsEmpty() || connection.IsNull() || connection.IsMissing()) {
    connection_.reset();
    return;
  }
  RequireClosed();
  auto opened = Connection::Create();
  opened->Open(Variant(connection.ToString()), Variant(), Variant(), Variant());
  connection_ = opened;
}

void Recordset::SetCursorType(int32_t type) {
  RequireClosed();
  if (type < kOpenForwardOnly || type > kOpenStatic)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "CursorType");
  cursor_type_ = type;
}

void Recordset::SetLockType(int32_t type) {
  RequireClosed();
  if (type < kLockReadOnly || type > kLockBatchOptimistic)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "LockType");
  lock_type_ = type;
}

void Recordset::SetCursorLocation(int32_t location) {
  RequireClosed();
  if (location != kUseServer && location != kUseClient)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "CursorLocation");
  cursor_location_ = location;
}

void Recordset::SetMaxRecords(int32_t count) {
  RequireClosed();
  if (count < 0) RaiseDataError(data_error::kArgumentsWrongType, kSource, "MaxRecords");
  max_records_ = count;
}

// --- opening and closing --------------------------------------------------------------

void Recordset::Open(const Variant& source, const Variant& active_connection,
                     const Variant& cursor_type, const Variant& lock_type,
                     const Variant& /*options*/) {
  RequireClosed();
  if (Given(cursor_type) && cursor_type.ToLong() >= 0) SetCursorType(cursor_type.ToLong());
  if (Given(lock_type) && lock_type.ToLong() > 0) SetLockType(lock_type.ToLong());
  if (cursor_location_ == kUseClient) cursor_type_ = kOpenStatic;  // the only client-side cursor
  const std::string statement = Given(source) ? source.ToString() : std::string();
  if (statement.empty()) {
    if (columns_.empty())
      RaiseDataError(data_error::kArgumentsWrongType, kSource, "no Source and no appended fields");
    fabricated_ = true;
    if (lock_type_ == kLockReadOnly) lock_type_ = kLockBatchOptimistic;
    cursor_location_ = kUseClient;  // rows that live only here: a client-side static cursor
    cursor_type_ = kOpenStatic;
    rows_.clear();
    position_ = 0;
    open_ = true;
    return;
  }
  if (Given(active_connection)) SetActiveConnection(active_connection);
  if (!connection_ && files::FileExists(statement)) {
    OpenXmlFile(statement);  // a row set saved to a file
    return;
  }
  if (!connection_) RaiseDataError(data_error::kObjectClosed, kSource, "no ActiveConnection");
  DatabaseSession& db = connection_->session();
  DialectStatement dialect = RewriteForProvider(statement, db.provider());
  if (!dialect.returns_rows)
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "the Source returns no rows");
  std::vector<std::string> keys;
  std::string table;
  if (lock_type_ != kLockReadOnly) {
    if (const auto updatable = UpdatableTableOf(dialect.sql)) {
      keys = db.KeyColumns(*updatable);
      if (!keys.empty()) {
        table = *updatable;
        std::vector<std::string> expressions;
        for (size_t i = 0; i < keys.size(); ++i)
          expressions.push_back(keys[i] + " AS " + kKeyAlias + std::to_string(i));
        dialect.sql = AddSelectColumns(dialect.sql, expressions);
      }
    }
  }
  const int32_t saved_lock = lock_type_;
  OpenResult(db.Query(dialect.sql, {}, max_records_), connection_, statement);
  lock_type_ = saved_lock;
  if (!table.empty()) {
    table_ = table;
    key_columns_ = keys;
    for (size_t i = 0; i < columns_.size(); ++i) attributes_[i] |= kFieldUpdatable | kFieldMayDefer;
  }
}

void Recordset::OpenResult(ResultSet result, std::shared_ptr<Connection> connection,
                           std::string source) {
  Reset();
  connection_ = std::move(connection);
  source_ = std::move(source);
  size_t visible = result.columns.size();
  while (visible > 0 && IsKeyAlias(result.columns[visible - 1].name)) --visible;
  columns_.assign(result.columns.begin(),
                  result.columns.begin() + static_cast<std::ptrdiff_t>(visible));
  attributes_.assign(visible, kFieldIsNullable | kFieldMayBeNull);
  rows_.reserve(result.rows.size());
  for (auto& values : result.rows) {
    Row row;
    row.key.assign(std::make_move_iterator(values.begin() + static_cast<std::ptrdiff_t>(visible)),
                   std::make_move_iterator(values.end()));
    values.resize(visible);
    row.values = std::move(values);
    rows_.push_back(std::move(row));
  }
  position_ = 0;
  open_ = true;
}

void Recordset::Reset() {
  rows_.clear();
  table_.clear();
  key_columns_.clear();
  if (!fabricated_) {
    columns_.clear();
    attributes_.clear();
  }
  position_ = 0;
  edit_mode_ = kEditNone;
  editing_row_ = -1;
  edit_snapshot_.clear();
}

void Recordset::Close() {
  RequireOpen();
  open_ = false;
  fabricated_ = false;
  Reset();
  columns_.clear();
  attributes_.clear();
}

// --- position ------------------------------------------------------------------------

bool Recordset::AtEnd() const {
  RequireOpen();
  return rows_.empty() || position_ >= static_cast<int64_t>(rows_.size());
}

bool Recordset::AtStart() const {
  RequireOpen();
  return rows_.empty() || position_ < 0;
}

int32_t Recordset::RecordCount() const {
  RequireOpen();
  if (cursor_type_ == kOpenForwardOnly && cursor_location_ != kUseClient) return -1;
  return static_cast<int32_t>(std::count_if(rows_.begin(), rows_.end(), [](const Row& row) {
    return row.status != RowStatus::kDeleted;
  }));
}

void Recordset::MoveFirst() {
  RequireOpen();
  if (edit_mode_ != kEditNone) FinishEdit();
  position_ = 0;
}

void Recordset::MoveLast() {
  RequireOpen();
  if (edit_mode_ != kEditNone) FinishEdit();
  position_ = rows_.empty() ? 0 : static_cast<int64_t>(rows_.size()) - 1;
}

void Recordset::MoveNext() {
  RequireOpen();
  if (AtEnd()) RaiseDataError(data_error::kBofOrEof, kSource);
  if (edit_mode_ != kEditNone) FinishEdit();
  ++position_;
}

void Recordset::MovePrevious() {
  RequireOpen();
  if (AtStart()) RaiseDataError(data_error::kBofOrEof, kSource);
  if (edit_mode_ != kEditNone) FinishEdit();
  --position_;
}

Recordset::Row& Recordset::CurrentRow() {
  RequireOpen();
  if (AtEnd() || AtStart()) RaiseDataError(data_error::kBofOrEof, kSource);
  return rows_[static_cast<size_t>(position_)];
}

const Recordset::Row& Recordset::CurrentRow() const {
  return const_cast<Recordset*>(this)->CurrentRow();
}

// --- fields --------------------------------------------------------------------------

ObjectPtr Recordset::Fields() {
  if (!fields_)
    fields_ =
        std::make_shared<data::Fields>(std::static_pointer_cast<Recordset>(shared_from_this()));
  return fields_;
}

size_t Recordset::FieldCount() const { return columns_.size(); }

const ColumnInfo& Recordset::Column(size_t index) const {
  if (index >= columns_.size()) RaiseDataError(data_error::kNotInCollection, kSource);
  return columns_[index];
}

int32_t Recordset::FieldAttributes(size_t index) const {
  Column(index);
  return attributes_[index];
}

size_t Recordset::FieldIndex(const Variant& name_or_ordinal) const {
  if (name_or_ordinal.IsString()) {
    for (size_t i = 0; i < columns_.size(); ++i) {
      if (EqualsIgnoringCase(columns_[i].name, name_or_ordinal.string_ref())) return i;
    }
    RaiseDataError(data_error::kNotInCollection, kSource, name_or_ordinal.string_ref());
  }
  const int32_t ordinal = name_or_ordinal.ToLong();
  if (ordinal < 0 || static_cast<size_t>(ordinal) >= columns_.size())
    RaiseDataError(data_error::kNotInCollection, kSource);
  return static_cast<size_t>(ordinal);
}

Variant Recordset::Value(const Variant& field) const { return Value(FieldIndex(field)); }

Variant Recordset::Value(size_t index) const {
  Column(index);
  return CurrentRow().values[index];
}

Variant Recordset::OriginalValue(size_t index) const {
  Column(index);
  const Row& row = CurrentRow();
  return row.original.empty() ? row.values[index] : row.original[index];
}

void Recordset::AppendField(const std::string& name, int32_t type, int32_t defined_size,
                            int32_t attributes) {
  RequireClosed();
  if (name.empty())
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "a field needs a name");
  for (const ColumnInfo& column : columns_) {
    if (EqualsIgnoringCase(column.name, name))
      RaiseDataError(data_error::kArgumentsWrongType, kSource, "field " + name + " exists");
  }
  columns_.push_back(ColumnInfo{name, type, defined_size, (attributes & kFieldIsNullable) != 0});
  attributes_.push_back(attributes);  // as declared: a fabricated row set is writable anyway
  fabricated_ = true;
}

std::vector<std::vector<Variant>> Recordset::AllRows() const {
  RequireOpen();
  std::vector<std::vector<Variant>> all;
  all.reserve(rows_.size());
  for (const Row& row : rows_) {
    if (row.status != RowStatus::kDeleted) all.push_back(row.values);
  }
  return all;
}

// --- editing -------------------------------------------------------------------------

bool Recordset::Updatable() const {
  return lock_type_ != kLockReadOnly && (fabricated_ || !table_.empty());
}

int32_t Recordset::EditMode() const {
  RequireOpen();
  if (edit_mode_ != kEditNone && editing_row_ == position_) return edit_mode_;
  const Row& row = CurrentRow();
  if (!BatchMode()) return kEditNone;
  switch (row.status) {
    case RowStatus::kModified:
      return kEditInProgress;
    case RowStatus::kNew:
      return kEditAdd;
    case RowStatus::kDeleted:
      return kEditDelete;
    default:
      return kEditNone;
  }
}

void Recordset::BeginEdit() {
  if (!Updatable()) RaiseDataError(data_error::kNotSupported, kSource);
  Row& row = CurrentRow();
  if (edit_mode_ != kEditNone && editing_row_ == position_) return;
  if (edit_mode_ != kEditNone) FinishEdit();
  edit_mode_ = kEditInProgress;
  editing_row_ = position_;
  edit_snapshot_ = row.values;
}

void Recordset::SetValue(size_t index, const Variant& value) {
  Column(index);
  BeginEdit();
  Row& row = CurrentRow();
  if (row.original.empty() && row.status == RowStatus::kUnchanged) row.original = row.values;
  row.values[index] = value;
}

void Recordset::AddNew(const Variant& field_list, const Variant& values) {
  RequireOpen();
  if (!Updatable()) RaiseDataError(data_error::kNotSupported, kSource);
  if (edit_mode_ != kEditNone) FinishEdit();
  position_before_add_ = position_;
  Row row;
  row.values.assign(columns_.size(), Variant::Null());
  row.status = RowStatus::kNew;
  rows_.push_back(std::move(row));
  position_ = static_cast<int64_t>(rows_.size()) - 1;
  edit_mode_ = kEditAdd;
  editing_row_ = position_;
  edit_snapshot_.clear();
  if (Given(field_list)) {
    AssignFields(field_list, values);
    FinishEdit();
  }
}

void Recordset::AssignFields(const Variant& field_list, const Variant& values) {
  if (field_list.IsArray()) {
    const SafeArray& names = field_list.array();
    const SafeArray& items = values.array();
    if (names.size() != items.size())
      RaiseDataError(data_error::kArgumentsWrongType, kSource,
                     "Fields and Values differ in length");
    for (size_t i = 0; i < names.size(); ++i) SetValue(names.elements()[i], items.elements()[i]);
  } else {
    SetValue(field_list, values);
  }
}

void Recordset::Update(const Variant& field_list, const Variant& values) {
  RequireOpen();
  if (Given(field_list)) AssignFields(field_list, values);
  if (edit_mode_ == kEditNone) {
    CurrentRow();  // Update without a change needs a current row all the same
    return;
  }
  FinishEdit();
}

void Recordset::FinishEdit() {
  Row& row = rows_[static_cast<size_t>(editing_row_)];
  if (edit_mode_ == kEditInProgress && row.status == RowStatus::kUnchanged)
    row.status = RowStatus::kModified;
  if (!BatchMode() && !fabricated_) {
    WriteRow(row);  // on failure the edit stays open, as the platform leaves it
  } else if (!BatchMode()) {
    row.original.clear();
    row.status = RowStatus::kUnchanged;
  }
  edit_mode_ = kEditNone;
  editing_row_ = -1;
  edit_snapshot_.clear();
}

void Recordset::DropPendingEdit() {
  if (edit_mode_ == kEditAdd) {
    rows_.erase(rows_.begin() + editing_row_);
    position_ = position_before_add_;
  } else if (edit_mode_ == kEditInProgress) {
    Row& row = rows_[static_cast<size_t>(editing_row_)];
    row.values = edit_snapshot_;
    if (row.status == RowStatus::kUnchanged) row.original.clear();
  }
  edit_mode_ = kEditNone;
  editing_row_ = -1;
  edit_snapshot_.clear();
}

void Recordset::CancelUpdate() {
  RequireOpen();
  DropPendingEdit();
}

void Recordset::Delete(const Variant& /*affect_records*/) {
  if (!Updatable()) RaiseDataError(data_error::kNotSupported, kSource);
  Row& row = CurrentRow();
  if (edit_mode_ != kEditNone) DropPendingEdit();
  if (row.status == RowStatus::kNew) {
    rows_.erase(rows_.begin() + position_);
    return;
  }
  row.status = RowStatus::kDeleted;
  if (!BatchMode() && !fabricated_) WriteRow(row);
}

// Writes one pending row to the database by its key; the row is unchanged afterwards.
void Recordset::WriteRow(Row& row) {
  if (!connection_) RaiseDataError(data_error::kObjectClosed, kSource, "no ActiveConnection");
  DatabaseSession& db = connection_->session();
  std::vector<Variant> params;
  auto placeholder = [&](const Variant& value) {
    params.push_back(value);
    return db.Placeholder(params.size() - 1);
  };
  auto key_condition = [&] {
    std::string where;
    for (size_t k = 0; k < key_columns_.size(); ++k) {
      where += (k ? " AND " : "") + key_columns_[k] + " = " + placeholder(row.key[k]);
    }
    return where;
  };
  if (row.status == RowStatus::kNew) {
    std::vector<std::string> names, holders, returning;
    for (size_t i = 0; i < columns_.size(); ++i) {
      returning.push_back(columns_[i].name);
      if (row.values[i].IsNull() || row.values[i].IsEmpty()) continue;  // defaults and identities
      names.push_back(columns_[i].name);
      holders.push_back(placeholder(row.values[i]));
    }
    for (size_t k = 0; k < key_columns_.size(); ++k)
      returning.push_back(key_columns_[k] + " AS " + kKeyAlias + std::to_string(k));
    const std::string sql =
        "INSERT INTO " + table_ +
        (names.empty() ? " DEFAULT VALUES"
                       : " (" + JoinColumns(names) + ") VALUES (" + JoinColumns(holders) + ")") +
        " RETURNING " + JoinColumns(returning);
    ResultSet inserted = db.Query(sql, params, 0);
    if (inserted.rows.size() == 1) {
      auto& values = inserted.rows[0];
      row.key.assign(values.begin() + static_cast<std::ptrdiff_t>(columns_.size()), values.end());
      values.resize(columns_.size());
      row.values = std::move(values);
    }
  } else if (row.status == RowStatus::kModified) {
    std::string set, changed_condition;
    for (size_t i = 0; i < columns_.size(); ++i) {
      const Variant& before = row.original.empty() ? row.values[i] : row.original[i];
      if (row.values[i] == before) continue;
      set += (set.empty() ? "" : ", ") + columns_[i].name + " = " + placeholder(row.values[i]);
    }
    if (!set.empty()) {
      for (size_t i = 0; i < columns_.size(); ++i) {
        const Variant& before = row.original.empty() ? row.values[i] : row.original[i];
        if (row.values[i] == before) continue;
        changed_condition +=
            " AND " + columns_[i].name +
            (before.IsNull() ? std::string(" IS NULL") : " = " + placeholder(before));
      }
      const std::string sql =
          "UPDATE " + table_ + " SET " + set + " WHERE " + key_condition() + changed_condition;
      if (db.Execute(sql, params) != 1) RaiseDataError(data_error::kRowNotLocated, kSource);
    }
  } else if (row.status == RowStatus::kDeleted) {
    const std::string sql = "DELETE FROM " + table_ + " WHERE " + key_condition();
    if (db.Execute(sql, params) != 1) RaiseDataError(data_error::kRowNotLocated, kSource);
  }
  if (row.status != RowStatus::kDeleted) row.status = RowStatus::kUnchanged;
  row.original.clear();
}

void Recordset::UpdateBatch(const Variant& /*affect_records*/) {
  RequireOpen();
  if (edit_mode_ != kEditNone) FinishEdit();
  if (!fabricated_) {
    if (!connection_) RaiseDataError(data_error::kObjectClosed, kSource, "no ActiveConnection");
    DatabaseSession& db = connection_->session();
    const bool own_transaction = !db.in_transaction();
    if (own_transaction) db.Begin();
    // Write copies, so that a failure half way leaves every row as pending as it was.
    std::vector<Row> written = rows_;
    try {
      for (Row& row : written) {
        if (row.status != RowStatus::kUnchanged) WriteRow(row);
      }
      if (own_transaction) db.Commit();
    } catch (...) {
      if (own_transaction) db.Rollback();
      throw;
    }
    rows_ = std::move(written);
  }
  const size_t before = rows_.size();
  const auto current = position_;
  int64_t removed_before_current = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].status == RowStatus::kDeleted && static_cast<int64_t>(i) < current)
      ++removed_before_current;
  }
  rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                             [](const Row& row) { return row.status == RowStatus::kDeleted; }),
              rows_.end());
  for (Row& row : rows_) {
    row.status = RowStatus::kUnchanged;
    row.original.clear();
  }
  if (rows_.size() != before) position_ = std::max<int64_t>(0, current - removed_before_current);
}

void Recordset::CancelBatch(const Variant& /*affect_records*/) {
  RequireOpen();
  DropPendingEdit();
  std::vector<Row> kept;
  for (Row& row : rows_) {
    if (row.status == RowStatus::kNew) continue;
    if (!row.original.empty()) row.values = row.original;
    row.original.clear();
    row.status = RowStatus::kUnchanged;
    kept.push_back(std::move(row));
  }
  rows_ = std::move(kept);
  if (position_ > static_cast<int64_t>(rows_.size()))
    position_ = static_cast<int64_t>(rows_.size());
}

void Recordset::Find(const std::string& criteria, int32_t skip_records, int32_t search_direction,
                     const Variant& start) {
  RequireOpen();
  const FindCriterion criterion = ParseCriterion(criteria);
  const size_t field = FieldIndex(Variant(criterion.field));
  if (Given(start)) position_ = start.ToLong();
  const int64_t step = search_direction < 0 ? -1 : 1;
  for (int64_t i = position_ + step * skip_records;
       i >= 0 && i < static_cast<int64_t>(rows_.size()); i += step) {
    if (rows_[static_cast<size_t>(i)].status == RowStatus::kDeleted) continue;
    if (ValueMatches(rows_[static_cast<size_t>(i)].values[field], criterion)) {
      position_ = i;
      return;
    }
  }
  position_ = step > 0 ? static_cast<int64_t>(rows_.size()) : -1;
}

}  // namespace quorvan::data
