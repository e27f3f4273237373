// Finds where the arguments begin in the command line the platform gives.
#include "launcher/command_line.h"

const char* CommandLineTail(const char* commandLine, LeadBytePredicate isLeadByte) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') {
      // A trail byte may look like a quote; step over the whole character.
      if (IsLeadByte(isLeadByte, static_cast<unsigned char>(*p)) && p[1] != '\0') ++p;
      ++p;
    }
    if (*p == '"') ++p;
  } else {
    while (static_cast<unsigned char>(*p) > ' ') ++p;
  }
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
  return p;
}
