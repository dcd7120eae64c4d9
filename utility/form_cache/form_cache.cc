#include "utility/form_cache/form_cache.h"

#include <sys/stat.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "platform/files/file_system.h"
#include "platform/files/native_path.h"
#include "shared/general.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::utility {
namespace {

constexpr const char* kFieldName = "FIELDNAME";
constexpr const char* kFieldValue = "FIELDVALUE";
constexpr const char* kFormValue = "FORMVALUE";

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

// A new cache key: the local time as HHMMSS.
std::string NewCacheKey() {
  const std::tm now = LocalNow();
  char key[8];
  std::snprintf(key, sizeof key, "%02d%02d%02d", now.tm_hour, now.tm_min, now.tm_sec);
  return key;
}

std::string Upper(const std::string& text) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) return UpperAscii(text);  // the common case, without a round trip through UTF-16
  std::string upper;
  icu::UnicodeString::fromUTF8(text).toUpper(icu::Locale::getRoot()).toUTF8String(upper);
  return upper;
}

// Blanks (spaces) removed at both ends, as the cached values are read.
std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A container identifier becomes part of a file name: it must not name another folder.
void CheckContainerId(const std::string& container_id) {
  bool safe = container_id.find_first_of("/\\") == std::string::npos &&
              container_id.find("..") == std::string::npos;
  for (unsigned char c : container_id) safe = safe && c >= 0x20;
  if (!safe) {
    RaiseRuntimeError(
        runtime_error::kInvalidProcedureCall,
        "the container identifier must not hold \"/\", \"\\\", \"..\" or control characters");
  }
}

// A field name as a Find criterion: upper case, quotes doubled.
std::string Criterion(const std::string& name) {
  std::string quoted;
  for (char c : Upper(name)) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return "FIELDNAME LIKE '" + quoted + "'";
}

// The posted form's fields in order: upper-cased name -> values joined with ", ". Names are
// looked up by hash: forms of thousands of fields stay linear.
struct PostedValues {
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<bool> recorded;  // a value already written into an existing row
  std::unordered_map<std::string, size_t> index;
  std::string form_name;

  void Add(std::string name, std::string value) {
    if (index.count(name)) return;
    index.emplace(name, values.size());
    values.emplace_back(std::move(name), std::move(value));
    recorded.push_back(false);
  }
  // The value of a name not recorded yet, or nullptr.
  const std::string* Take(const std::string& name) {
    const auto found = index.find(name);
    if (found == index.end() || recorded[found->second]) return nullptr;
    recorded[found->second] = true;
    return &values[found->second].second;
  }
};

PostedValues ReadPostedForm(const Variant& form_argument) {
  ObjectPtr form = form_argument.ToObject();
  if (!form) RaiseRuntimeError(runtime_error::kObjectNotSet, "no posted form");
  PostedValues posted;
  const int32_t count = form->GetProperty("Count").ToLong();
  for (int32_t i = 1; i <= count; ++i) {
    const std::string name = form->Call("Key", i).ToString();
    ObjectPtr field = form->Call("Item", name).ToObject();
    std::string joined;
    const int32_t values = field->GetProperty("Count").ToLong();
    for (int32_t v = 1; v <= values; ++v)
      joined += (v > 1 ? ", " : "") + field->Call("Item", v).ToString();
    const std::string upper = Upper(name);
    if (upper == "HTMLFORMNAME") posted.form_name = Upper(joined);
    posted.Add(upper, std::move(joined));
  }
  return posted;
}

// Releases the cache when the work it guards fails (the scope unwinds with an exception).
class ReleaseOnFailure {
 public:
  explicit ReleaseOnFailure(shared::RecordsetPtr& rows)
      : rows_(rows), exceptions_(std::uncaught_exceptions()) {}
  ~ReleaseOnFailure() {
    if (std::uncaught_exceptions() <= exceptions_) return;
    try {
      shared::CloseRecordset(rows_);
    } catch (...) {
      rows_ = nullptr;
    }
  }
  ReleaseOnFailure(const ReleaseOnFailure&) = delete;
  ReleaseOnFailure& operator=(const ReleaseOnFailure&) = delete;

 private:
  shared::RecordsetPtr& rows_;
  int exceptions_;
};

ObjectPtr FileSystemComponent() {
  return shared::GetComponent("QuorvanUtility.FileSystem").ToObject();
}

}  // namespace

FormCache::FormCache() {
  shared::MethodShape("QuorvanUtility.FormCache.Class_Initialize").Run([&] {
    rows_ = data::Recordset::Create();
  });
}

FormCache::~FormCache() {
  try {
    shared::MethodShape("QuorvanUtility.FormCache.Class_Terminate").Run([&] {
      shared::CloseRecordset(rows_);
    });
  } catch (...) {
    // Release never throws; what was saved stays saved.
  }
}

const ClassInfo& FormCache::Info() {
  static const ClassInfo info =
      ClassBuilder<FormCache>("QuorvanUtility.FormCache")
          .Method<&FormCache::InitializeCache>(
              "InitializeCache", {In("i_sSessionId"), In("i_sContainerId"), ByRef("io_sCacheKey")})
          .Method<&FormCache::UpdateCache>("UpdateCache",
                                           {In("i_vRequestForm"), Optional("i_aForcedElements")})
          .Method<&FormCache::ReleaseCache>("ReleaseCache")
          .Method<&FormCache::DeleteCache>(
              "DeleteCache", {In("i_sSessionId"), In("i_sContainerId"), In("i_sCacheKey")})
          .Method<&FormCache::GetValueFromCache>("GetValueFromCache", {In("i_sVarName")})
          .Method<&FormCache::UpdateValueInCache>("UpdateValueInCache",
                                                  {In("i_aVarName"), In("i_aVarValue")})
          .Method<&FormCache::CheckIfAtleastOneFieldExists>("CheckIfAtleastOneFieldExists",
                                                            {In("i_aVarName")})
          .Method<&FormCache::DeleteCacheGarbage>("DeleteCacheGarbage")
          .Method<&FormCache::CheckIfFieldExists>("CheckIfFieldExists", {In("i_aVarName")})
          .Build();
  return info;
}

std::string FormCache::GetCachePath() {
  return shared::MethodShape("QuorvanUtility.FormCache.GetCachePath").Run([&] {
    ObjectPtr configuration = shared::GetComponent("Solvagen.Configuration").ToObject();
    std::string directory = configuration->Call("GetInstallDirectory").ToString();
    if (!directory.empty() && directory.back() != '\\') directory += "\\";
    return directory + "Tesmik\\FileStorage\\Application\\Cache\\";
  });
}

std::string FormCache::GetCacheFileName(int32_t session_id, const std::string& container_id,
                                        const std::string& key, const std::string& directory) {
  return shared::MethodShape("QuorvanUtility.FormCache.GetCacheFileName").Run([&] {
    CheckContainerId(container_id);
    const std::tm now = LocalNow();
    shared::TextBuilder name;
    name.Add(directory)
        .Add(std::to_string(now.tm_mon + 1))
        .Add(std::to_string(now.tm_mday))
        .Add(std::to_string(now.tm_year + 1900))
        .Add("_")
        .Add(std::to_string(session_id))
        .Add("_")
        .Add(container_id)
        .Add("_")
        .Add(key)
        .Add(".sca");
    return name.Value();
  });
}

void FormCache::InitializeCache(int32_t i_sSessionId, const std::string& i_sContainerId,
                                Variant& io_sCacheKey) {
  shared::MethodShape("QuorvanUtility.FormCache.InitializeCache").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!rows_) RaiseRuntimeError(runtime_error::kObjectNotSet, "the cache was released");
    ObjectPtr files = FileSystemComponent();
    std::string given_key = io_sCacheKey.ToString();
    std::string key = given_key.empty() ? NewCacheKey() : given_key;
    const std::string directory = GetCachePath();
    std::string path = GetCacheFileName(i_sSessionId, i_sContainerId, key, directory);
    if (!given_key.empty() && !files->Call("CheckIfFileExists", path).ToBool()) {
      given_key.clear();  // a key of another day, or a removed file: start afresh
      key = NewCacheKey();
      path = GetCacheFileName(i_sSessionId, i_sContainerId, key, directory);
    }
    if (given_key.empty()) {
      rows_->SetLockType(data::kLockBatchOptimistic);
      rows_->SetCursorLocation(data::kUseClient);
      rows_->AppendField(kFieldName, data::kTypeLongVarWChar, -1, data::kFieldKeyColumn);
      rows_->AppendField(kFieldValue, data::kTypeLongVarWChar, -1, data::kFieldUpdatable);
      rows_->AppendField(kFormValue, data::kTypeLongVarWChar, -1, data::kFieldUpdatable);
      rows_->Open(Variant(), Variant(), Variant(), Variant(), Variant());
      if (!files->Call("CheckIfFolderExists", directory).ToBool())
        files->Call("CreateFolder", directory);
    } else {
      rows_->Open(Variant(files::NativePath(path)), Variant(), Variant(), Variant(), Variant());
    }
    cache_file_path_ = path;
    io_sCacheKey = Variant(key);
  });
}

std::string FormCache::UpdateCache(const Variant& i_vRequestForm,
                                   const Variant& i_aForcedElements) {
  return shared::MethodShape("QuorvanUtility.FormCache.UpdateCache").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!rows_) RaiseRuntimeError(runtime_error::kObjectNotSet, "the cache was released");
    PostedValues posted = ReadPostedForm(i_vRequestForm);
    if (!i_aForcedElements.IsMissing()) {
      const SafeArray& forced = i_aForcedElements.array();
      for (int32_t i = forced.LBound(); i <= forced.UBound(); ++i) {
        posted.Add(Upper(forced.at(i).ToString()), std::string());
      }
    }
    if (rows_->RecordCount() > 0) {
      for (rows_->MoveFirst(); !rows_->AtEnd(); rows_->MoveNext()) {
        const std::string name = rows_->Value(Variant(kFieldName)).ToString();
        if (const std::string* value = posted.Take(name)) {
          rows_->SetValue(Variant(kFieldValue), Variant(*value));
        } else if (rows_->Value(Variant(kFormValue)).ToString() == posted.form_name) {
          rows_->SetValue(Variant(kFieldValue),
                          Variant(""));  // a field of this form that was not posted now
        }
      }
    }
    for (size_t i = 0; i < posted.values.size(); ++i) {
      if (posted.recorded[i]) continue;
      const auto& [name, value] = posted.values[i];
      rows_->AddNew(Variant(), Variant());
      rows_->SetValue(Variant(kFieldName), Variant(name));
      rows_->SetValue(Variant(kFieldValue), Variant(value));
      rows_->SetValue(Variant(kFormValue), Variant(posted.form_name));
    }
    SaveCache();
    return std::string();
  });
}

void FormCache::SaveCache() {
  shared::MethodShape("QuorvanUtility.FormCache.SaveCache").Run([&] {
    // Written beside the old file and renamed over it: a failure never loses the old cache.
    rows_->Save(Variant(cache_file_path_), Variant(1));
  });
}

void FormCache::ReleaseCache() {
  shared::MethodShape("QuorvanUtility.FormCache.ReleaseCache").Run([&] {
    shared::CloseRecordset(rows_);
  });
}

void FormCache::DeleteCache(int32_t, const std::string&, const std::string&) {
  shared::MethodShape("QuorvanUtility.FormCache.DeleteCache").Run([&] {
    ReleaseOnFailure release(rows_);
    if (rows_) shared::CloseRecordset(rows_);
    if (cache_file_path_.empty()) return;
    ObjectPtr files = FileSystemComponent();
    if (files->Call("CheckIfFileExists", cache_file_path_).ToBool())
      files->Call("DeleteFile", cache_file_path_);
  });
}

bool FormCache::HasRows() const {
  return rows_ && rows_->State() == data::kStateOpen && rows_->RecordCount() > 0;
}

bool FormCache::FindField(const std::string& name) {
  rows_->MoveFirst();
  rows_->Find(Criterion(name), 0, 1, Variant::Missing());
  return !rows_->AtEnd();
}

std::string FormCache::GetValueFromCache(const std::string& i_sVarName) {
  return shared::MethodShape("QuorvanUtility.FormCache.GetValueFromCache").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!HasRows()) return std::string();
    std::string value;
    if (FindField(i_sVarName)) value = TrimBlanks(rows_->Value(Variant(kFieldValue)).ToString());
    rows_->MoveFirst();
    return value;
  });
}

void FormCache::UpdateValueInCache(const Variant& i_aVarName, const Variant& i_aVarValue) {
  shared::MethodShape("QuorvanUtility.FormCache.UpdateValueInCache").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!HasRows()) return;
    const SafeArray& names = i_aVarName.array();
    bool written = false;
    for (int32_t i = names.LBound(); i <= names.UBound(); ++i) {
      if (!FindField(names.at(i).ToString())) continue;
      const Variant& value = i_aVarValue.array().at(i);
      rows_->SetValue(Variant(kFieldValue),
                      value.IsNull() ? Variant("") : Variant(value.ToString()));
      written = true;
    }
    rows_->MoveFirst();
    if (written) SaveCache();
  });
}

bool FormCache::CheckIfAtleastOneFieldExists(const Variant& i_aVarName) {
  return shared::MethodShape("QuorvanUtility.FormCache.CheckIfAtleastOneFieldExists").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!HasRows()) return false;
    const SafeArray& names = i_aVarName.array();
    bool found = false;
    for (int32_t i = names.LBound(); i <= names.UBound() && !found; ++i)
      found = FindField(names.at(i).ToString());
    rows_->MoveFirst();
    return found;
  });
}

Variant FormCache::CheckIfFieldExists(const Variant& i_aVarName) {
  return shared::MethodShape("QuorvanUtility.FormCache.CheckIfFieldExists").Run([&] {
    ReleaseOnFailure release(rows_);
    if (!HasRows()) return Variant();
    const SafeArray& names = i_aVarName.array();
    std::vector<Variant> found(static_cast<size_t>(std::max(names.UBound() + 1, 0)));
    for (int32_t i = names.LBound(); i <= names.UBound(); ++i) {
      if (i >= 0) found[static_cast<size_t>(i)] = Variant(FindField(names.at(i).ToString()));
    }
    rows_->MoveFirst();
    return Variant::FromArray(SafeArray(std::move(found)));
  });
}

void FormCache::DeleteCacheGarbage() {
  shared::MethodShape("QuorvanUtility.FormCache.DeleteCacheGarbage").Run([&] {
    ReleaseOnFailure release(rows_);
    const std::string directory = files::NativePath(GetCachePath());
    if (!files::FolderExists(directory)) RaiseRuntimeError(runtime_error::kPathNotFound, directory);
    // Files last written before 00:00 of the previous day, local time.
    std::tm midnight = LocalNow();
    midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
    midnight.tm_mday -= 1;
    midnight.tm_isdst = -1;
    const std::time_t limit = std::mktime(&midnight);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
      if (!entry.is_regular_file()) continue;
      struct stat info {};
      if (::stat(entry.path().c_str(), &info) != 0 || info.st_mtime >= limit) continue;
      files::DeleteFile(entry.path().string());
    }
    if (error) RaiseRuntimeError(runtime_error::kPathNotFound, directory + ": " + error.message());
  });
}

}  // namespace quorvan::utility
