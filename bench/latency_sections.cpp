#include "bench/latency_sections.hpp"

#include <chrono>
#include <iostream>
#include <string>

#include "bench/latency_samplers.hpp"

namespace corvane::bench {

namespace {

std::function<void(int, int)> progress(const std::string& what) {
    return [what](int round, int rounds) {
        if (round == rounds || round % 50 == 0)
            std::cerr << "  " << what << ": round " << round << "/" << rounds << '\n';
    };
}

}  // namespace

std::vector<Series> placementSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                    const Layout& layout, const HalfKeys& first, const HalfKeys& second,
                                    const BenchOptions& options, bool withApp) {
    const Rect firstFrame = layout.frameOf(first.placement);
    const Rect secondFrame = layout.frameOf(second.placement);
    FrameLatency latency(server, window, firstFrame, secondFrame, layout.extents);
    std::vector<Contender> contenders;
    if (withApp) {
        contenders.push_back(
            {"corvane",
             std::string(first.appChord) + " / " + second.appChord + ", the app's default hot keys",
             latency.sampler(xharness::Chord::parse(first.appChord),
                             xharness::Chord::parse(second.appChord))});
    }
    contenders.push_back({"wmctrl",
                          "Super+F" + std::to_string(first.wmctrlKey) + " / F" +
                              std::to_string(second.wmctrlKey) +
                              ", openbox Execute: " + wmctrlMoveResizeCommand(firstFrame, layout.extents) +
                              " / " + wmctrlMoveResizeCommand(secondFrame, layout.extents),
                          latency.sampler(superF(first.wmctrlKey), superF(second.wmctrlKey))});
    contenders.push_back({"built-in",
                          "Super+F" + std::to_string(first.builtInKey) + " / F" +
                              std::to_string(second.builtInKey) +
                              ", openbox's own MoveResizeTo to the same frames",
                          latency.sampler(superF(first.builtInKey), superF(second.builtInKey))});
    return runInterleaved(
        contenders, options.presses, options.warmup,
        progress(std::string(first.placement.rawValue()) + "/" + std::string(second.placement.rawValue())));
}

std::vector<Series> desktopSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                  const BenchOptions& options, bool withApp) {
    DesktopLatency latency(server, window, homeDesktop, targetDesktop,
                           std::chrono::milliseconds(options.desktopPauseMs));
    std::vector<Contender> contenders;
    if (withApp) {
        contenders.push_back({"corvane",
                              std::string(appSendChord) + ", the app's default \"Send to Desktop 2\"",
                              latency.sampler(xharness::Chord::parse(appSendChord))});
    }
    contenders.push_back({"wmctrl",
                          "Super+F" + std::to_string(wmctrlSendKey) + ", openbox Execute: " +
                              wmctrlSendToDesktopCommand(static_cast<int>(targetDesktop)),
                          latency.sampler(superF(wmctrlSendKey))});
    contenders.push_back(
        {"built-in",
         "Super+F" + std::to_string(builtInSendKey) + ", openbox's own SendToDesktop 2 (no follow)",
         latency.sampler(superF(builtInSendKey))});
    return runInterleaved(contenders, options.presses, options.warmup, progress("desktop send"));
}

std::vector<Series> followSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                 const BenchOptions& options, bool withApp) {
    DesktopLatency latency(server, window, homeDesktop, targetDesktop,
                           std::chrono::milliseconds(options.desktopPauseMs), true);
    std::vector<Contender> contenders;
    if (withApp) {
        contenders.push_back(
            {"corvane", std::string(appFollowChord) + ", the app's default \"Send to Desktop 2 and follow\"",
             latency.sampler(xharness::Chord::parse(appFollowChord))});
    }
    contenders.push_back({"wmctrl",
                          "Super+F" + std::to_string(wmctrlFollowKey) + ", openbox Execute: " +
                              wmctrlSendAndFollowCommand(static_cast<int>(targetDesktop)),
                          latency.sampler(superF(wmctrlFollowKey))});
    contenders.push_back(
        {"built-in",
         "Super+F" + std::to_string(builtInFollowKey) + ", openbox's own SendToDesktop 2 with follow",
         latency.sampler(superF(builtInFollowKey))});
    return runInterleaved(contenders, options.presses, options.warmup, progress("send and follow"));
}

}  // namespace corvane::bench
