/*
 * A plain Wayland toplevel for end-to-end tests and benchmarks: one xdg-shell
 * window with a shared-memory buffer that takes whatever size the compositor
 * configures (no size increments, no minimum), titled and identified from the
 * command line:
 *
 *   corvane-wayland-window TITLE APP_ID [WIDTH HEIGHT]
 *
 * Prints "mapped" once its first buffer is committed (a compositor maps and
 * focuses a window only once it has one), then runs until the compositor
 * closes it or the process is signalled.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

struct window {
    struct wl_display* display;
    struct wl_compositor* compositor;
    struct wl_shm* shm;
    struct xdg_wm_base* wm_base;
    struct wl_surface* surface;
    struct xdg_surface* xdg_surface;
    struct xdg_toplevel* toplevel;
    int32_t width, height;                 /* the size of the buffer shown */
    int32_t pending_width, pending_height; /* from the last toplevel configure */
    uint32_t color;
    int mapped;
    int closed;
};

static void buffer_release(void* data, struct wl_buffer* buffer) {
    (void)data;
    wl_buffer_destroy(buffer);
}
static const struct wl_buffer_listener buffer_listener = {buffer_release};

/* A new buffer per size: the compositor releases the old one when done. */
static struct wl_buffer* make_buffer(struct window* w) {
    const int32_t stride = w->width * 4;
    const size_t size = (size_t)stride * (size_t)w->height;
    const int fd = memfd_create("corvane-wayland-window", MFD_CLOEXEC);
    if (fd < 0) return NULL;
    if (ftruncate(fd, (off_t)size) != 0) {
        close(fd);
        return NULL;
    }
    uint32_t* pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return NULL;
    }
    for (size_t i = 0; i < size / 4; ++i) pixels[i] = w->color;
    munmap(pixels, size);
    struct wl_shm_pool* pool = wl_shm_create_pool(w->shm, fd, (int32_t)size);
    struct wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, w->width, w->height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer, &buffer_listener, NULL);
    return buffer;
}

static void surface_configure(void* data, struct xdg_surface* surface, uint32_t serial) {
    struct window* w = data;
    xdg_surface_ack_configure(surface, serial);
    if (w->pending_width > 0) w->width = w->pending_width;
    if (w->pending_height > 0) w->height = w->pending_height;
    struct wl_buffer* buffer = make_buffer(w);
    if (!buffer) {
        fprintf(stderr, "corvane-wayland-window: cannot make a %dx%d buffer\n", w->width, w->height);
        w->closed = 1;
        return;
    }
    wl_surface_attach(w->surface, buffer, 0, 0);
    wl_surface_damage_buffer(w->surface, 0, 0, w->width, w->height);
    wl_surface_commit(w->surface);
    if (!w->mapped) {
        w->mapped = 1;
        printf("mapped\n");
        fflush(stdout);
    }
}
static const struct xdg_surface_listener surface_listener = {surface_configure};

static void toplevel_configure(void* data, struct xdg_toplevel* toplevel, int32_t width, int32_t height,
                               struct wl_array* states) {
    (void)toplevel;
    (void)states;
    struct window* w = data;
    w->pending_width = width;
    w->pending_height = height;
}
static void toplevel_close(void* data, struct xdg_toplevel* toplevel) {
    (void)toplevel;
    ((struct window*)data)->closed = 1;
}
static void toplevel_configure_bounds(void* data, struct xdg_toplevel* toplevel, int32_t width,
                                      int32_t height) {
    (void)data;
    (void)toplevel;
    (void)width;
    (void)height;
}
static void toplevel_wm_capabilities(void* data, struct xdg_toplevel* toplevel,
                                     struct wl_array* capabilities) {
    (void)data;
    (void)toplevel;
    (void)capabilities;
}
static const struct xdg_toplevel_listener toplevel_listener = {
    toplevel_configure, toplevel_close, toplevel_configure_bounds, toplevel_wm_capabilities};

static void wm_base_ping(void* data, struct xdg_wm_base* base, uint32_t serial) {
    (void)data;
    xdg_wm_base_pong(base, serial);
}
static const struct xdg_wm_base_listener wm_base_listener = {wm_base_ping};

static void registry_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version) {
    struct window* w = data;
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        w->compositor = wl_registry_bind(registry, name, &wl_compositor_interface, version < 4 ? version : 4);
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        w->shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        /* Version 1 is all this client needs, and every compositor offers it. */
        w->wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
        xdg_wm_base_add_listener(w->wm_base, &wm_base_listener, w);
    }
}
static void registry_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}
static const struct wl_registry_listener registry_listener = {registry_global, registry_global_remove};

static uint32_t color_of(const char* title) {
    uint32_t hash = 2166136261u;
    for (const char* c = title; *c; ++c) hash = (hash ^ (uint8_t)*c) * 16777619u;
    return 0xff000000u | (hash & 0x7f7f7f) | 0x404040;
}

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        fprintf(stderr, "usage: %s TITLE APP_ID [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    struct window w = {0};
    w.width = argc == 5 ? atoi(argv[3]) : 640;
    w.height = argc == 5 ? atoi(argv[4]) : 480;
    if (w.width <= 0 || w.height <= 0) {
        fprintf(stderr, "corvane-wayland-window: the size must be positive\n");
        return 2;
    }
    w.color = color_of(argv[1]);

    w.display = wl_display_connect(NULL);
    if (!w.display) {
        fprintf(stderr, "corvane-wayland-window: cannot connect to the Wayland display: %s\n",
                strerror(errno));
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(w.display);
    wl_registry_add_listener(registry, &registry_listener, &w);
    wl_display_roundtrip(w.display);
    if (!w.compositor || !w.shm || !w.wm_base) {
        fprintf(stderr,
                "corvane-wayland-window: the compositor lacks wl_compositor, wl_shm or xdg_wm_base\n");
        return 1;
    }

    w.surface = wl_compositor_create_surface(w.compositor);
    w.xdg_surface = xdg_wm_base_get_xdg_surface(w.wm_base, w.surface);
    xdg_surface_add_listener(w.xdg_surface, &surface_listener, &w);
    w.toplevel = xdg_surface_get_toplevel(w.xdg_surface);
    xdg_toplevel_add_listener(w.toplevel, &toplevel_listener, &w);
    xdg_toplevel_set_title(w.toplevel, argv[1]);
    xdg_toplevel_set_app_id(w.toplevel, argv[2]);
    wl_surface_commit(w.surface);

    while (!w.closed && wl_display_dispatch(w.display) != -1) {
    }

    xdg_toplevel_destroy(w.toplevel);
    xdg_surface_destroy(w.xdg_surface);
    wl_surface_destroy(w.surface);
    wl_display_disconnect(w.display);
    return 0;
}
