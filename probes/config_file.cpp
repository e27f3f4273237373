// Reads install.dat with the platform's initialization-file reader, so values
// are exactly what the publisher's tools see.
#include "probes/config_file.h"

UniqueFile OpenConfigFile(const char* configFilePath) {
  return UniqueFile(CreateFileA(configFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void ReadConfigValue(const char* section, const char* key, const char* configFilePath,
                     ValueText& value) {
  GetPrivateProfileStringA(section, key, "", value.Area(), ValueText::kAreaSize, configFilePath);
  value.Terminate();
}
