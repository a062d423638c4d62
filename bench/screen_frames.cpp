// Counts the distinct pictures an X screen shows in a small region per second, as a capture
// program reading the screen would see them. Usage: screen_frames X Y WIDTH HEIGHT SECONDS
// Prints "frames: N distinct per second over S s".
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <thread>

namespace {
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

std::uint64_t hashBytes(const std::uint8_t* data, int length) {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (int i = 0; i < length; ++i)
        h = (h ^ data[i]) * 1099511628211ull;
    return h;
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: screen_frames X Y WIDTH HEIGHT SECONDS\n");
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    const double seconds = std::atof(argv[5]);
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "screen_frames: no X display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::uint64_t previous = 0;
    long changes = -1; // the first sample is no change
    long samples = 0;
    while (Clock::now() < end) {
        const auto cookie = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, std::int16_t(x),
                                          std::int16_t(y), std::uint16_t(width), std::uint16_t(height), ~0u);
        std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> reply(
            xcb_get_image_reply(connection, cookie, nullptr));
        if (!reply) {
            std::fprintf(stderr, "screen_frames: the region cannot be read\n");
            return 1;
        }
        const std::uint64_t h =
            hashBytes(xcb_get_image_data(reply.get()), xcb_get_image_data_length(reply.get()));
        changes += h != previous ? 1 : 0;
        previous = h;
        ++samples;
        // Well above any display rate, so no picture goes unseen, and little load of its own.
        std::this_thread::sleep_for(std::chrono::microseconds(1500));
    }
    xcb_disconnect(connection);
    std::printf("frames: %.1f distinct per second over %.0f s (%ld samples)\n", double(changes) / seconds,
                seconds, samples);
    return 0;
}
