#include "app/window_services.h"

#include <utility>

namespace trawlbox::app {

namespace {

// The injected service, else a new one of the system's, kept in `own`.
template <typename Service>
Service& InjectedOrMade(Service* injected, const std::function<std::unique_ptr<Service>()>& make,
                        std::unique_ptr<Service>& own) {
  if (injected != nullptr) return *injected;
  own = make();
  return *own;
}

}  // namespace

// The services that block the window or open a box over it, each showing the held frames first.
// A download's wait goes on painting, frame by frame, so it needs no flush of its own: one before
// every file of a walk would paint the window once a file.
class WindowServices::FlushFirst : public platform::Sleeper, public platform::MessageBox {
 public:
  FlushFirst(platform::Sleeper& sleeper, platform::MessageBox& messages,
             std::function<void()> flush)
      : sleeper_(sleeper), messages_(messages), flush_(std::move(flush)) {}

  void Sleep(int milliseconds) override {
    flush_();
    sleeper_.Sleep(milliseconds);
  }
  void Show(platform::MessageIcon icon, const std::string& text) override {
    flush_();
    messages_.Show(icon, text);
  }

 private:
  platform::Sleeper& sleeper_;
  platform::MessageBox& messages_;
  std::function<void()> flush_;
};

WindowServices::WindowServices(const MainWindowDependencies& deps, const SystemServices& system,
                               std::function<void()> flush_frames)
    : decoder_(system.decoder()),
      transfer_(system.request(deps.ca_file), system.http_timer(), hsts_, *decoder_,
                deps.transfer_limits),
      downloader_(system.request(deps.ca_file), system.http_timer(), system.wait(), hsts_,
                  deps.download_limits),
      flush_first_(std::make_unique<FlushFirst>(
          InjectedOrMade(deps.sleeper, system.sleeper, own_sleeper_),
          InjectedOrMade(deps.messages, system.messages, own_messages_), std::move(flush_frames))),
      chooser_(InjectedOrMade(deps.chooser, system.chooser, own_chooser_)),
      opener_(InjectedOrMade(deps.opener, system.opener, own_opener_)),
      clipboard_(InjectedOrMade(deps.clipboard, system.clipboard, own_clipboard_)),
      location_(InjectedOrMade(deps.location, system.location, own_location_)) {}

WindowServices::~WindowServices() = default;

MainWindowServices WindowServices::ForLogic(platform::EventYield& yield) {
  return MainWindowServices{.transfer = transfer_,
                            .downloader = downloader_,
                            .yield = yield,
                            .sleeper = *flush_first_,
                            .messages = *flush_first_,
                            .chooser = chooser_,
                            .opener = opener_,
                            .clipboard = clipboard_,
                            .location = location_};
}

void WindowServices::AbortTransfers() {
  transfer_.Abort();
  downloader_.Abort();
}

}  // namespace trawlbox::app
