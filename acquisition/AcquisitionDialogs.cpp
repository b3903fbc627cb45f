#include "acquisition/AcquisitionDialogs.h"

namespace tellurio {

namespace {

class SilentStatusWindow : public StatusWindow {
 public:
  void SetSubject(const std::string&) override {}
  void SetRemaining(int) override {}
  void SetCurrent(const std::string&) override {}
  void ShowTextOnly() override {}
  void ShowDepotLines() override {}
  void SetDay(const std::string&) override {}
};

}  // namespace

std::unique_ptr<StatusWindow> SilentAcquisitionDialogs::OpenStatusWindow(const std::string&) {
  return std::make_unique<SilentStatusWindow>();
}

void SilentAcquisitionDialogs::RunArchiveProgress(const std::string&, int, const ArchiveWork& work) {
  work([](int, const std::string&) {});
}

}  // namespace tellurio
