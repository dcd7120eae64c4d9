#include "utility/parameter/parameter.h"

#include "platform/automation/class_builder.h"
#include "shared/general.h"
#include "shared/method_shape.h"

namespace quorvan::utility {

const ClassInfo& Parameter::Info() {
  static const ClassInfo info =
      ClassBuilder<Parameter>("QuorvanUtility.Parameter")
          .Method<&Parameter::GetParameter>("GetParameter", {In("i_sParamName")})
          .Build();
  return info;
}

std::string Parameter::GetParameter(const std::string& i_sParamName) {
  return shared::MethodShape("QuorvanUtility.Parameter.GetParameter")
      .Info([&] { return Variant("Retrieving " + i_sParamName + " failed"); })
      .Run([&] {
        ObjectPtr configuration = shared::GetComponent("Solvagen.Configuration").ToObject();
        struct Source {
          const char* application;
          const char* section;
        };
        for (const Source source :
             {Source{"Fennick", "SOURCINGPARAMETERS"}, Source{"Gorlast", "GLOBAL"}}) {
          if (!configuration->Call("IsApplicationInstalled", source.application).ToBool()) continue;
          configuration->Call("SelectApplication", source.application, 0);
          Variant args[] = {Variant(source.section), Variant(i_sParamName)};
          return configuration->Invoke("GetValue", args).ToString();
        }
        return std::string();
      });
}

}  // namespace quorvan::utility
