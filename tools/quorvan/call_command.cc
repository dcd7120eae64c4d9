#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>

#include <iostream>

#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/script_session.h"

namespace quorvan::tool {
namespace {

Poco::Dynamic::Var ParseArgument(const std::string& text) {
  try {
    return json::ParseDocument(text);
  } catch (const json::JsonFormError& e) {
    throw UsageError("argument " + text + ": " + e.what());
  }
}

}  // namespace

int CallCommand(Arguments& args) {
  const std::string class_id = args.Take("CLASSID");
  const std::string method = args.Take("METHOD");
  Poco::JSON::Array::Ptr positional = new Poco::JSON::Array();
  Poco::JSON::Object::Ptr named = new Poco::JSON::Object();
  while (!args.Empty()) {
    if (args.TakeFlag("--named")) {
      const std::string pair = args.Take("NAME=ARG after --named");
      const size_t equals = pair.find('=');
      if (equals == std::string::npos || equals == 0) throw UsageError("--named needs NAME=ARG");
      named->set(pair.substr(0, equals), ParseArgument(pair.substr(equals + 1)));
    } else {
      const std::string text = args.Take("ARG");
      if (text.rfind("--", 0) == 0) throw UsageError("unknown option '" + text + "'");
      positional->add(ParseArgument(text));
    }
  }
  ScriptSession session;
  session.Create("object", class_id);
  const std::string outcome = session.Call("object", method, positional, named, "");
  session.Release("object");
  std::cout << outcome << "\n";
  return kExitOk;
}

}  // namespace quorvan::tool
