// The class-path join, kept apart from the platform calls around it.
#include "start/class_path_join.h"

#include "launcher/text_search.h"

namespace {

template <typename Char, typename Joined>
bool Join(const Char* current, const Char* stored, Joined& joined) {
  if (ContainsText(current, stored)) return false;
  return joined.Assign(current) && joined.Append(stored);
}

}  // namespace

bool JoinClassPath(const wchar_t* current, const wchar_t* stored, EnvironmentText& joined) {
  return Join(current, stored, joined);
}
bool JoinClassPath(const char* current, const char* stored, AnsiEnvironmentText& joined) {
  return Join(current, stored, joined);
}
