#include "host/config/site_configuration.h"

#include <Poco/AutoPtr.h>
#include <Poco/DOM/DOMParser.h>
#include <Poco/DOM/Document.h>
#include <Poco/DOM/Element.h>
#include <Poco/DOM/NodeList.h>
#include <Poco/Exception.h>
#include <Poco/SAX/InputSource.h>

#include <filesystem>
#include <fstream>

#include "platform/automation/class_info.h"
#include "platform/automation/error_record.h"
#include "platform/files/native_path.h"

namespace quorvan::host {
namespace {

constexpr int32_t kPathFileAccessError = 75;

}  // namespace

SiteConfiguration SiteConfiguration::Load(const std::string& path) {
  const std::string native = files::NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) {
    RaiseRuntimeError(runtime_error::kFileNotFound, "site configuration " + native);
  }
  SiteConfiguration site;
  site.folder_ = std::filesystem::path(native).parent_path().string();
  try {
    std::ifstream in(native);
    Poco::XML::InputSource source(in);
    Poco::XML::DOMParser parser;
    Poco::AutoPtr<Poco::XML::Document> document = parser.parse(&source);
    Poco::AutoPtr<Poco::XML::NodeList> sections = document->getElementsByTagName("section");
    for (unsigned long i = 0; i < sections->length(); ++i) {
      auto* section = static_cast<Poco::XML::Element*>(sections->item(i));
      auto& values = site.sections_[LowerAscii(section->getAttribute("name"))];
      Poco::AutoPtr<Poco::XML::NodeList> entries = section->getElementsByTagName("value");
      for (unsigned long j = 0; j < entries->length(); ++j) {
        auto* entry = static_cast<Poco::XML::Element*>(entries->item(j));
        values[LowerAscii(entry->getAttribute("key"))] = entry->innerText();
      }
    }
  } catch (const Poco::Exception& failure) {
    RaiseRuntimeError(kPathFileAccessError,
                      "site configuration " + native + ": " + failure.displayText());
  }
  return site;
}

std::optional<std::string> SiteConfiguration::Get(const std::string& section,
                                                  const std::string& key) const {
  const auto found = sections_.find(LowerAscii(section));
  if (found == sections_.end()) return std::nullopt;
  const auto value = found->second.find(LowerAscii(key));
  if (value == found->second.end()) return std::nullopt;
  return value->second;
}

bool SiteConfiguration::HasSection(const std::string& section) const {
  return sections_.count(LowerAscii(section)) != 0;
}

}  // namespace quorvan::host
