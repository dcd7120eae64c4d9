// "QuorvanUtility.FormCache": keeps the fields of a long multi-page form between requests, in
// one file per session, form container and cache key, under
//   <install
//   directory>\Tesmik\FileStorage\Application\Cache\<M><D><YYYY>_<session>_<container>_<key>.sca
// The cache is a row set of three long-text fields (FIELDNAME, upper case, key column;
// FIELDVALUE; FORMVALUE, the HTMLFORMNAME of the post that recorded the row), saved whole in
// the XML persistence format after every change; the file is replaced atomically.
//
// Lifecycle of an instance: created (row set, no path) -> InitializeCache (open, path set)
// -> ReleaseCache, DeleteCache or any failure (no row set). One instance serves one request
// and one cache; it is not for two threads at once.
#pragma once

#include <string>

#include "platform/automation/object.h"
#include "shared/data_access.h"

namespace quorvan::utility {

class FormCache : public Object {
 public:
  FormCache();
  ~FormCache() override;
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  void InitializeCache(int32_t i_sSessionId, const std::string& i_sContainerId,
                       Variant& io_sCacheKey);
  std::string UpdateCache(const Variant& i_vRequestForm, const Variant& i_aForcedElements);
  void ReleaseCache();
  void DeleteCache(int32_t i_sSessionId, const std::string& i_sContainerId,
                   const std::string& i_sCacheKey);
  std::string GetValueFromCache(const std::string& i_sVarName);
  void UpdateValueInCache(const Variant& i_aVarName, const Variant& i_aVarValue);
  bool CheckIfAtleastOneFieldExists(const Variant& i_aVarName);
  void DeleteCacheGarbage();
  Variant CheckIfFieldExists(const Variant& i_aVarName);

  const std::string& cache_file_path() const { return cache_file_path_; }

 private:
  std::string GetCachePath();
  std::string GetCacheFileName(int32_t session_id, const std::string& container_id,
                               const std::string& key, const std::string& directory);
  void SaveCache();
  // Positions the row set on the row of `name` (upper-cased); false when there is none.
  bool FindField(const std::string& name);
  bool HasRows() const;

  shared::RecordsetPtr rows_;    // the cache; null once released
  std::string cache_file_path_;  // empty until InitializeCache
};

}  // namespace quorvan::utility
