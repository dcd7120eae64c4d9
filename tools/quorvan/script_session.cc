#include "tools/quorvan/script_session.h"

#include <Poco/Base64Decoder.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>

#include <sstream>

#include "platform/automation/class_info.h"
#include "platform/automation/class_registry.h"
#include "platform/json/variant_json.h"
#include "tools/quorvan/command_line.h"

namespace quorvan::tool {
namespace {

using Poco::Dynamic::Var;
using Poco::JSON::Array;
using JsonObject = Poco::JSON::Object;

bool IsTagged(const Var& json, const char* tag) {
  if (json.type() != typeid(JsonObject::Ptr)) return false;
  const auto object = json.extract<JsonObject::Ptr>();
  return object->size() == 1 && object->has(tag);
}

std::string DecodeBase64(const std::string& text) {
  std::istringstream in(text);
  Poco::Base64Decoder decoder(in);
  std::string bytes((std::istreambuf_iterator<char>(decoder)), std::istreambuf_iterator<char>());
  return bytes;
}

}  // namespace

void ScriptSession::SetForm(const Var& form_json) {
  if (form_json.type() != typeid(JsonObject::Ptr)) throw UsageError("\"form\" must be an object");
  const auto form = form_json.extract<JsonObject::Ptr>();
  form_ = std::make_shared<web::PostedForm>();
  if (const auto fields = form->getArray("fields")) {
    for (unsigned i = 0; i < fields->size(); ++i) {
      const auto field = fields->getArray(i);
      const auto values = field && field->size() == 2 ? field->getArray(1) : nullptr;
      if (!values || !field->get(0).isString()) {
        throw UsageError("form fields must be [name, [value, ...]] pairs");
      }
      std::vector<std::string> texts;
      for (unsigned j = 0; j < values->size(); ++j) texts.push_back(values->get(j).toString());
      form_->AddField(field->get(0).toString(), std::move(texts));
    }
  }
  if (const auto files = form->getObject("files")) {
    for (const auto& [field, description] : *files) {
      if (description.type() != typeid(JsonObject::Ptr))
        throw UsageError("form files must be objects");
      const auto file = description.extract<JsonObject::Ptr>();
      form_->AddFile(
          field, web::PostedFile{file->optValue<std::string>("path", ""),
                                 DecodeBase64(file->optValue<std::string>("content_base64", ""))});
    }
  }
}

Variant* ScriptSession::Find(const std::string& name) {
  for (auto& [variable, value] : variables_) {
    if (variable == name) return &value;
  }
  return nullptr;
}

Variant& ScriptSession::Assign(const std::string& name, Variant value) {
  if (Variant* existing = Find(name)) return *existing = std::move(value);
  variables_.emplace_back(name, std::move(value));
  return variables_.back().second;
}

void ScriptSession::Create(const std::string& variable, const std::string& class_id) {
  Assign(variable, Variant(CreateObject(class_id)));
}

void ScriptSession::Set(const std::string& variable, const Var& value_json) {
  Assign(variable, ReadArgument(value_json).value);
}

void ScriptSession::Release(const std::string& variable) {
  Variant* value = Find(variable);
  if (value == nullptr) throw UsageError("no variable '" + variable + "'");
  *value = Variant::Nothing();
}

ScriptSession::Argument ScriptSession::ReadArgument(const Var& json) {
  if (IsTagged(json, "$var")) {
    const std::string name = json.extract<JsonObject::Ptr>()->get("$var").toString();
    Variant* value = Find(name);
    if (value == nullptr) throw UsageError("no variable '" + name + "'");
    return Argument{*value, name};
  }
  if (IsTagged(json, "$form")) {
    if (!form_) throw UsageError("{\"$form\": true} needs a \"form\" in the script");
    return Argument{Variant(ObjectPtr(form_)), {}};
  }
  json::ReadContext context;
  context.object_variable = [this](const std::string& name) {
    Variant* value = Find(name);
    if (value == nullptr || !value->IsObject()) {
      throw json::JsonFormError("variable '" + name + "' holds no object");
    }
    return *value;
  };
  try {
    return Argument{json::FromJson(json, context), {}};
  } catch (const json::JsonFormError& e) {
    throw UsageError(e.what());
  }
}

std::string ScriptSession::Call(const std::string& variable, const std::string& method,
                                const Var& args_json, const Var& named_json,
                                const std::string& result_variable) {
  Variant* target = Find(variable);
  if (target == nullptr) throw UsageError("no variable '" + variable + "'");
  ObjectPtr object = target->IsObject() ? target->object_ref() : nullptr;
  if (!object) RaiseRuntimeError(runtime_error::kObjectRequired, variable);

  std::vector<Argument> positional;
  if (!args_json.isEmpty()) {
    if (args_json.type() != typeid(Array::Ptr)) throw UsageError("\"args\" must be a list");
    const auto list = args_json.extract<Array::Ptr>();
    for (unsigned i = 0; i < list->size(); ++i) positional.push_back(ReadArgument(list->get(i)));
  }
  std::vector<NamedArgument> named;
  std::vector<std::string> named_variables;
  if (!named_json.isEmpty()) {
    if (named_json.type() != typeid(JsonObject::Ptr))
      throw UsageError("\"named\" must be an object");
    for (const auto& [name, value] : *named_json.extract<JsonObject::Ptr>()) {
      Argument argument = ReadArgument(value);
      named.push_back(NamedArgument{name, std::move(argument.value)});
      named_variables.push_back(std::move(argument.by_reference_variable));
    }
  }
  std::vector<Variant> values;
  for (const Argument& argument : positional) values.push_back(argument.value);

  const Variant result = object->Invoke(method, values, named);

  // By-reference results: every by-reference parameter the call received, after the call.
  std::string byref = "{";
  const MemberInfo* member = object->Class().Find(method, MemberKind::kMethod);
  auto add_byref = [&](const std::string& name, const Variant& value) {
    byref += (byref.size() > 1 ? ", " : "") + json::QuoteJson(name) + ": " + ValueJson(value);
  };
  for (size_t i = 0; i < values.size(); ++i) {
    if (!positional[i].by_reference_variable.empty())
      Assign(positional[i].by_reference_variable, values[i]);
    if (member && i < member->params.size() && member->params[i].by_ref)
      add_byref(member->params[i].name, values[i]);
  }
  for (size_t i = 0; i < named.size(); ++i) {
    if (!named_variables[i].empty()) Assign(named_variables[i], named[i].value);
    if (!member) continue;
    for (const ParamInfo& param : member->params) {
      if (param.by_ref && EqualsIgnoringCase(param.name, named[i].name))
        add_byref(param.name, named[i].value);
    }
  }
  byref += "}";
  if (!result_variable.empty()) Assign(result_variable, result);
  return "{\"result\": " + ValueJson(result) + ", \"byref\": " + byref + "}";
}

std::string ScriptSession::NameOf(const ObjectPtr& object) {
  for (const auto& [name, value] : variables_) {
    if (value.IsObject() && value.object_ref() == object) return name;
  }
  // Keep unnamed objects alive under a generated name, so that the name printed stays valid.
  const std::string name = "_" + std::to_string(++generated_names_);
  variables_.emplace_back(name, Variant(object));
  return name;
}

std::string ScriptSession::ValueJson(const Variant& value) {
  json::WriteContext context;
  context.object_name = [this](const ObjectPtr& object) { return NameOf(object); };
  return json::ToJson(value, context);
}

std::string ScriptSession::VariablesJson() {
  std::string out = "{";
  // ValueJson may add generated names; iterate by index over the growing list.
  for (size_t i = 0; i < variables_.size(); ++i) {
    const std::string name = variables_[i].first;
    const Variant value = variables_[i].second;
    out += (i ? ", " : "") + json::QuoteJson(name) + ": " + ValueJson(value);
  }
  return out + "}";
}

}  // namespace quorvan::tool
