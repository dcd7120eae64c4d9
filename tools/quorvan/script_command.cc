#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/script_session.h"

namespace quorvan::tool {
namespace {

using Poco::Dynamic::Var;
using JsonObject = Poco::JSON::Object;

std::string ReadScript(const std::string& source) {
  std::stringstream text;
  if (source == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream in(source);
    if (!in) throw UsageError("cannot read script " + source);
    text << in.rdbuf();
  }
  return text.str();
}

std::string Text(const JsonObject& step, const char* key) {
  const Var& value = step.get(key);
  if (!value.isString()) throw UsageError(std::string("step: \"") + key + "\" must be text");
  return value.toString();
}

// Checks every step's shape before anything runs, so that a typo never runs half a script.
void ValidateSteps(const Poco::JSON::Array& steps) {
  for (unsigned i = 0; i < steps.size(); ++i) {
    const auto step = steps.getObject(i);
    const std::string where = "step " + std::to_string(i + 1) + ": ";
    if (!step) throw UsageError(where + "must be an object");
    const bool is_call = step->has("call");
    const bool is_create = step->has("create");
    const bool is_value = step->has("value");
    const bool is_release = step->has("release");
    if (is_call + is_create + is_value + is_release != 1) {
      throw UsageError(where + "needs exactly one of call, create, value, release");
    }
    for (const auto& [key, value] : *step) {
      static const char* const kKeys[] = {"call", "method", "args",  "named",
                                          "set",  "create", "value", "release"};
      bool known = false;
      for (const char* allowed : kKeys) known = known || key == allowed;
      if (!known) throw UsageError(where + "unknown key \"" + key + "\"");
    }
    if ((is_create || is_value) && !step->has("set")) throw UsageError(where + "needs \"set\"");
    if (is_call && !step->has("method")) throw UsageError(where + "needs \"method\"");
  }
}

std::string RunStep(ScriptSession& session, const JsonObject& step) {
  const std::string target = step.has("set") ? Text(step, "set") : std::string();
  if (step.has("create")) {
    session.Create(target, Text(step, "create"));
    return "{\"result\": {\"$object\": " + json::QuoteJson(target) + "}}";
  }
  if (step.has("value")) {
    session.Set(target, step.get("value"));
    return "{\"result\": null}";
  }
  if (step.has("release")) {
    session.Release(Text(step, "release"));
    return "{\"result\": null}";
  }
  const Var args = step.has("args") ? step.get("args") : Var();
  const Var named = step.has("named") ? step.get("named") : Var();
  return session.Call(Text(step, "call"), Text(step, "method"), args, named, target);
}

}  // namespace

int ScriptCommand(Arguments& args) {
  const std::string source = args.Take("FILE or -");
  args.ExpectEnd();
  Var document;
  try {
    document = json::ParseDocument(ReadScript(source));
  } catch (const json::JsonFormError& e) {
    throw UsageError(std::string("script: ") + e.what());
  }
  if (document.type() != typeid(JsonObject::Ptr)) throw UsageError("script: must be an object");
  const auto script = document.extract<JsonObject::Ptr>();
  for (const auto& [key, value] : *script) {
    if (key != "steps" && key != "form") throw UsageError("script: unknown key \"" + key + "\"");
  }
  const auto steps = script->getArray("steps");
  if (!steps) throw UsageError("script: needs a list \"steps\"");
  ValidateSteps(*steps);

  ScriptSession session;
  if (script->has("form")) session.SetForm(script->get("form"));
  std::string results;
  std::string error;
  for (unsigned i = 0; i < steps->size(); ++i) {
    try {
      const std::string result = RunStep(session, *steps->getObject(i));
      results += (i ? ", " : "") + result;
    } catch (const AutomationError& e) {
      error = ErrorFields(e.record());
      break;
    }
  }
  std::cout << "{\"results\": [" << results << "], \"vars\": " << session.VariablesJson();
  if (!error.empty()) std::cout << ", \"error\": " << error;
  std::cout << "}\n";
  return error.empty() ? kExitOk : kExitError;
}

}  // namespace quorvan::tool
