// The class-path join, kept apart from the platform calls around it.
#include "start/class_path_join.h"

#include "launcher/text_search.h"

bool JoinClassPath(const char* current, const char* stored, EnvironmentText& joined) {
  if (ContainsText(current, stored)) return false;
  return joined.Assign(current) && joined.Append(stored);
}
