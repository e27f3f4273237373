// A disc image checked as Windows will read the pressed medium: the names
// Windows reads, every check of the medium run on them, and for each name
// the medium's files give that Windows will not find, the name set that
// holds it instead.
#include "check/judge/image_check.h"

#include "check/judge/image_names.h"
#include "check/judge/medium_check.h"
#include "check/read/disc_image.h"

namespace {

std::string OtherSets(const DiscImage& image) {
  std::string others;
  for (const auto& [set, tree] : image.trees) {
    if (set == image.windows) continue;
    others += std::string(others.empty() ? "" : ", ") + NameSetName(set);
  }
  return others;
}

}  // namespace

std::vector<Finding> CheckImageBytes(const std::shared_ptr<const ImageBytes>& bytes,
                                     const std::string& name, const JudgeOptions& options) {
  const DiscImage image = ReadDiscImage(bytes);
  if (!image.error.empty()) {
    return {{Severity::Error, "not-a-disc-image", name, "", "",
             "not a disc image Windows can read: " + image.error,
             "a medium pressed from it may show Windows no files, or fail half-way through "
             "reading them: the launcher cannot be relied on to start anything",
             "master the image again from the medium folder, and check that folder too"}};
  }
  const char* windows = NameSetName(image.windows);
  const std::string others = OtherSets(image);
  std::vector<Finding> findings = {
      {Severity::Note, "image-names", name, "", "",
       std::string("Windows reads this image's ") + windows + " names" +
           (others.empty() ? "" : " (it ignores its " + others + " names)"),
       "the launcher finds the medium's files by these names, and the checks below use them",
       "nothing, unless a check below says otherwise"}};
  if (image.windows == NameSet::Iso9660) {
    findings.push_back(
        {Severity::Warning, "no-joliet", name, "", "",
         "the image has neither Joliet nor UDF names, so Windows shows every name as an 8.3 "
         "upper-case ISO 9660 name",
         "a path of install.dat is found only where its 8.3 name still matches it",
         kMasterWithJoliet});
  }
  const MissingNameExplainer explain = ExplainMissingImageName(image);
  for (Finding& finding :
       CheckMedium(image.trees.at(image.windows), MediumKind::DiscImage, explain, options)) {
    findings.push_back(std::move(finding));
  }
  return findings;
}

ImageCheck CheckImage(const std::filesystem::path& image, const JudgeOptions& options) {
  const std::string name = image.filename().string();
  const std::shared_ptr<const ImageBytes> bytes = OpenImageFile(image);
  if (bytes == nullptr) {
    return {{{Severity::Error, "unreadable", name, "", "", "the image file cannot be read",
              "there is nothing to check", "make the image file readable"}},
            ""};
  }
  return {CheckImageBytes(bytes, name, options), ""};
}
