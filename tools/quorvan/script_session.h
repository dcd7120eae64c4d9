// ScriptSession: one request scope of the quorvan tool. Holds the script's variables (objects
// live until the session ends or a step releases them), the posted form, and runs call,
// create, set and release steps. `quorvan call` is a session with one object and one call.
//
// Steps and documents follow the automation JSON form: {"$var": NAME} passes a variable by
// reference, {"$object": NAME} the object a variable holds, {"$form": true} the posted form.
// Not thread-safe: one session per command.
#pragma once

#include <Poco/Dynamic/Var.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation/object.h"
#include "platform/web/posted_form.h"

namespace quorvan::tool {

class ScriptSession {
 public:
  // Reads the "form" member of a script: {"fields": [[name, [values...]], ...],
  // "files": {field: {"path": ..., "content_base64": ...}}}. UsageError when malformed.
  void SetForm(const Poco::Dynamic::Var& form_json);

  void Create(const std::string& variable, const std::string& class_id);
  void Set(const std::string& variable, const Poco::Dynamic::Var& value_json);
  void Release(const std::string& variable);
  // Invokes a member of the object in `variable`; returns {"result": ..., "byref": {...}}.
  // `args` is a JSON list, `named` a JSON object or empty. The result is stored in
  // `result_variable` when that is not empty. AutomationError on failure.
  std::string Call(const std::string& variable, const std::string& method,
                   const Poco::Dynamic::Var& args, const Poco::Dynamic::Var& named,
                   const std::string& result_variable);

  // {"name": value, ...} of every variable, in creation order.
  std::string VariablesJson();
  std::string ValueJson(const Variant& value);

 private:
  struct Argument {
    Variant value;
    std::string by_reference_variable;  // set for {"$var": NAME}
  };
  Variant* Find(const std::string& name);
  Variant& Assign(const std::string& name, Variant value);
  Argument ReadArgument(const Poco::Dynamic::Var& json);
  std::string NameOf(const ObjectPtr& object);

  std::vector<std::pair<std::string, Variant>> variables_;
  std::shared_ptr<web::PostedForm> form_;
  int generated_names_ = 0;
};

}  // namespace quorvan::tool
