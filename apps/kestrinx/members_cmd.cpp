#include "members_cmd.h"

#include <string>

#include "control/members.h"
#include "output.h"

namespace kestrinx::cli {

namespace {

using members::Member;

std::string hex(std::int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<std::uint32_t>(v));
  return buf;
}

std::string accessText(const Member& m, const char* separator) {
  std::string s;
  const auto add = [&](members::Access a, const char* word) {
    if (!m.has(a)) return;
    if (!s.empty()) s += separator;
    s += word;
  };
  add(members::Get, "get");
  add(members::Put, "put");
  add(members::PutRef, "putref");
  add(members::Method, "method");
  return s;
}

std::string typeText(const Member& m) {
  if (m.has(members::Method)) return "";
  if (m.enumeration != nullptr) return std::string(m.enumeration->name);
  return std::string(values::autoTypeName(m.type));
}

std::string defaultText(const Member& m) {
  using Kind = members::BagDefault::Kind;
  const members::BagDefault& d = m.fallback;
  switch (d.kind) {
    case Kind::Integer: return "Integer " + std::to_string(d.number);
    case Kind::Long:
      return m.type == values::AutoType::Color ? "Long " + hex(d.number) : "Long " + std::to_string(d.number);
    case Kind::Boolean: return std::string("Boolean ") + (d.number != 0 ? "True" : "False");
    case Kind::String: return "String \"\"";
    case Kind::InstanceName: return "the instance name";
    case Kind::AmbientFont: return "the ambient font";
    case Kind::NoObject: return "no object";
  }
  return "";
}

std::string paramsText(const values::EventInfo& e) {
  std::string s;
  for (const values::ParamInfo& p : e.params) {
    if (!s.empty()) s += ", ";
    s += std::string(p.name) + " As " + std::string(values::autoTypeName(p.type));
  }
  return s;
}

void writeTable(std::FILE* out) {
  std::fprintf(out, "_Kestrin: %zu members, %d function entries, in slot order\n\n", members::kMembers.size(),
               members::functionEntries());
  std::fprintf(out, "%-4s  %-10s  %-16s  %-14s  %-16s  %s\n", "slot", "id", "name", "access", "type",
               "saved as (default)");
  for (std::size_t i = 0; i < members::kMembers.size(); ++i) {
    const Member& m = members::kMembers[i];
    const std::string saved =
        m.saved ? std::string(values::varTypeName(m.written)) + " (" + defaultText(m) + ")" : std::string("-");
    std::fprintf(out, "%4zu  %-10s  %-16s  %-14s  %-16s  %s\n", i, hex(m.id).c_str(), std::string(m.name).c_str(),
                 accessText(m, " ").c_str(), typeText(m).c_str(), saved.c_str());
  }
  std::fprintf(out, "\n__Kestrin: %zu events, %d raised\n\n", members::kEvents.size(), members::raisedEvents());
  for (const members::Event& e : members::kEvents) {
    std::fprintf(out, "%4d  %s(%s)%s\n", e.info.id, std::string(e.info.name).c_str(), paramsText(e.info).c_str(),
                 e.info.raised ? "" : "  [never raised]");
  }
  std::fprintf(out, "\nEnumerations\n\n");
  for (const values::EnumInfo* info : enums::All) {
    std::fprintf(out, "%s %s\n", std::string(info->name).c_str(), info->guid.toString().c_str());
    for (const values::EnumMember& c : info->members)
      std::fprintf(out, "  %-14s = %d\n", std::string(c.name).c_str(), c.value);
  }
}

void writeJson(std::FILE* out) {
  std::string s = "{\"members\":[";
  for (std::size_t i = 0; i < members::kMembers.size(); ++i) {
    const Member& m = members::kMembers[i];
    if (i > 0) s += ",";
    s += "{\"slot\":" + std::to_string(i) + ",\"id\":" + jsonString(hex(m.id)) + ",\"name\":" + jsonString(m.name);
    s += ",\"access\":[";
    std::string access = accessText(m, "\",\"");
    s += "\"" + access + "\"]";
    if (!m.has(members::Method)) s += ",\"type\":" + jsonString(typeText(m));
    if (m.saved) {
      s += ",\"key\":" + jsonString(m.name) + ",\"writtenAs\":" + jsonString(values::varTypeName(m.written)) +
           ",\"default\":" + jsonString(defaultText(m));
    }
    s += "}";
  }
  s += "],\"events\":[";
  for (std::size_t i = 0; i < members::kEvents.size(); ++i) {
    const values::EventInfo& e = members::kEvents[i].info;
    if (i > 0) s += ",";
    s += "{\"id\":" + std::to_string(e.id) + ",\"name\":" + jsonString(e.name) + ",\"raised\":" +
         (e.raised ? "true" : "false") + ",\"arguments\":[";
    for (std::size_t j = 0; j < e.params.size(); ++j) {
      if (j > 0) s += ",";
      s += "{\"name\":" + jsonString(e.params[j].name) +
           ",\"type\":" + jsonString(values::autoTypeName(e.params[j].type)) + ",\"byRef\":true}";
    }
    s += "]}";
  }
  s += "],\"enumerations\":[";
  for (std::size_t i = 0; i < enums::All.size(); ++i) {
    const values::EnumInfo& info = *enums::All[i];
    if (i > 0) s += ",";
    s += "{\"name\":" + jsonString(info.name) + ",\"guid\":" + jsonString(info.guid.toString()) + ",\"members\":[";
    for (std::size_t j = 0; j < info.members.size(); ++j) {
      if (j > 0) s += ",";
      s += "{\"name\":" + jsonString(info.members[j].name) + ",\"value\":" + std::to_string(info.members[j].value) +
           "}";
    }
    s += "]}";
  }
  s += "]}\n";
  std::fputs(s.c_str(), out);
}

}  // namespace

void writeMembers(std::FILE* out, ListingFormat format) {
  if (format == ListingFormat::Json)
    writeJson(out);
  else
    writeTable(out);
}

}  // namespace kestrinx::cli
