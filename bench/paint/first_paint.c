/* bench_first_paint: starts a program and prints the time from its exec to its window's first painted pixels. */
/*
 * Usage: bench_first_paint [-s WxH] [-r X,Y,W,H]... [-c COLOURS] [-t SECONDS] [-o FILE.ppm] [-l]
 *                          -- PROGRAM [ARGUMENTS]
 *
 * Method. Before the program starts, this client asks the X server for SubstructureNotify on the
 * root window and notes the root's background colour (run the server with a plain background,
 * e.g. Xvfb -br, so that an unpainted window reads as that colour). It notes the time, spawns
 * the program, and waits for the MapNotify of a top-level window of the given size. From then
 * on it reads the window's pixels back from the server (GetImage of each region, about every
 * 0.5 ms) until every region counts as painted:
 *   - fewer than half of its pixels still have the root's background colour, and
 *   - it holds at least COLOURS distinct colours (a picture, not a flat fill).
 * The figure printed is the time from just before the spawn to the first read that passes,
 * in milliseconds. What the server holds is what a screen would show: no cooperation of the
 * measured program is needed, so the shipped program runs unchanged.
 *
 *   -s WxH        size of the window to watch (default: the first top-level window mapped)
 *   -r X,Y,W,H    a region of the window, in window pixels; repeatable (default: the whole window)
 *   -c COLOURS    distinct colours each region must hold (default 1)
 *   -t SECONDS    give up after this long (default 20); exit status 2
 *   -o FILE.ppm   also write the whole window as it was at that moment
 *   -l            leave the program running and print "<ms> <pid>"; otherwise it is ended
 */
#include <xcb/xcb.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

enum { kMaxRegions = 16, kMaxColours = 64 };

struct Region {
    int x, y, w, h;
};

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static void sleep_us(long us)
{
    struct timespec t = {us / 1000000, (us % 1000000) * 1000};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

static void usage(void)
{
    fprintf(stderr, "usage: bench_first_paint [-s WxH] [-r X,Y,W,H]... [-c COLOURS] [-t SECONDS] "
                    "[-o FILE.ppm] [-l] -- PROGRAM [ARGUMENTS]\n");
    exit(64);
}

/* The pixels of a rectangle of `window`, 32 bits each (0x00RRGGBB), or NULL when the server
 * cannot give them yet (window not viewable) or gives them in another layout. */
static xcb_get_image_reply_t* read_pixels(xcb_connection_t* c, xcb_drawable_t window, const struct Region* r)
{
    xcb_get_image_cookie_t cookie =
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, (int16_t)r->x, (int16_t)r->y, (uint16_t)r->w, (uint16_t)r->h, ~0u);
    xcb_generic_error_t* error = NULL;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(c, cookie, &error);
    free(error);
    if (reply && xcb_get_image_data_length(reply) != r->w * r->h * 4) {
        free(reply);
        return NULL;
    }
    return reply;
}

static int painted(xcb_connection_t* c, xcb_window_t window, const struct Region* r, uint32_t background, int colours)
{
    xcb_get_image_reply_t* reply = read_pixels(c, window, r);
    if (!reply)
        return 0;
    const uint32_t* pixels = (const uint32_t*)xcb_get_image_data(reply);
    const long count = (long)r->w * r->h;
    long plain = 0;
    uint32_t seen[kMaxColours];
    int distinct = 0;
    for (long i = 0; i < count; ++i) {
        const uint32_t p = pixels[i] & 0xFFFFFFu;
        plain += p == background;
        if (distinct < colours && distinct < kMaxColours) {
            int known = 0;
            for (int k = 0; k < distinct && !known; ++k)
                known = seen[k] == p;
            if (!known)
                seen[distinct++] = p;
        }
    }
    free(reply);
    return plain * 2 < count && distinct >= colours;
}

static void write_ppm(xcb_connection_t* c, xcb_window_t window, int w, int h, const char* path)
{
    const struct Region whole = {0, 0, w, h};
    xcb_get_image_reply_t* reply = read_pixels(c, window, &whole);
    FILE* f = reply ? fopen(path, "wb") : NULL;
    if (f) {
        const uint32_t* pixels = (const uint32_t*)xcb_get_image_data(reply);
        fprintf(f, "P6\n%d %d\n255\n", w, h);
        for (long i = 0; i < (long)w * h; ++i) {
            const unsigned char rgb[3] = {(unsigned char)(pixels[i] >> 16), (unsigned char)(pixels[i] >> 8),
                                          (unsigned char)pixels[i]};
            fwrite(rgb, 1, 3, f);
        }
        fclose(f);
    } else {
        fprintf(stderr, "bench_first_paint: cannot write %s\n", path);
    }
    free(reply);
}

int main(int argc, char** argv)
{
    int want_w = 0, want_h = 0, colours = 1, leave = 0;
    double timeout_ms = 20000;
    const char* snapshot = NULL;
    struct Region regions[kMaxRegions];
    int nregions = 0;
    int opt;
    while ((opt = getopt(argc, argv, "s:r:c:t:o:l")) != -1) {
        switch (opt) {
        case 's':
            if (sscanf(optarg, "%dx%d", &want_w, &want_h) != 2)
                usage();
            break;
        case 'r':
            if (nregions == kMaxRegions)
                usage();
            if (sscanf(optarg, "%d,%d,%d,%d", &regions[nregions].x, &regions[nregions].y, &regions[nregions].w,
                       &regions[nregions].h) != 4 || regions[nregions].w <= 0 || regions[nregions].h <= 0)
                usage();
            ++nregions;
            break;
        case 'c':
            colours = atoi(optarg);
            if (colours < 1 || colours > kMaxColours)
                usage();
            break;
        case 't':
            timeout_ms = atof(optarg) * 1e3;
            break;
        case 'o':
            snapshot = optarg;
            break;
        case 'l':
            leave = 1;
            break;
        default:
            usage();
        }
    }
    if (optind >= argc)
        usage();

    /* A busy server now and then drops a connection as it opens: try again, before any timing. */
    xcb_connection_t* c = NULL;
    for (int attempt = 0; attempt < 20; ++attempt) {
        c = xcb_connect(NULL, NULL);
        if (!xcb_connection_has_error(c))
            break;
        xcb_disconnect(c);
        c = NULL;
        sleep_us(50000);
    }
    if (!c) {
        fprintf(stderr, "bench_first_paint: cannot open the display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    const struct Region corner = {0, 0, 1, 1};
    xcb_get_image_reply_t* root_pixel = read_pixels(c, screen->root, &corner);
    if (!root_pixel) {
        fprintf(stderr, "bench_first_paint: the screen is not 32 bits per pixel\n");
        return 1;
    }
    const uint32_t background = *(const uint32_t*)xcb_get_image_data(root_pixel) & 0xFFFFFFu;
    free(root_pixel);

    const double start = now_ms();
    pid_t child;
    const int spawned = posix_spawnp(&child, argv[optind], NULL, NULL, argv + optind, environ);
    if (spawned != 0) {
        fprintf(stderr, "bench_first_paint: cannot start %s: %s\n", argv[optind], strerror(spawned));
        return 1;
    }

    int status = 2;
    xcb_window_t window = XCB_NONE;
    int win_w = 0, win_h = 0;
    while (now_ms() - start < timeout_ms) {
        int child_status;
        if (waitpid(child, &child_status, WNOHANG) == child) {
            fprintf(stderr, "bench_first_paint: %s ended before it painted\n", argv[optind]);
            return 1;
        }
        if (window == XCB_NONE) {
            struct pollfd fd = {xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, 5);
            xcb_generic_event_t* event;
            while (window == XCB_NONE && (event = xcb_poll_for_event(c)) != NULL) {
                if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                    const xcb_window_t mapped = ((xcb_map_notify_event_t*)event)->window;
                    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, mapped), NULL);
                    if (g && (want_w == 0 || (g->width == want_w && g->height == want_h))) {
                        window = mapped;
                        win_w = g->width;
                        win_h = g->height;
                    }
                    free(g);
                }
                free(event);
            }
            if (xcb_connection_has_error(c))
                break;
            continue;
        }
        if (nregions == 0)
            regions[nregions++] = (struct Region){0, 0, win_w, win_h};
        int all = 1;
        for (int i = 0; i < nregions && all; ++i)
            all = painted(c, window, &regions[i], background, colours);
        if (all) {
            const double elapsed = now_ms() - start;
            if (leave)
                printf("%.1f %d\n", elapsed, (int)child);
            else
                printf("%.1f\n", elapsed);
            fflush(stdout);
            if (snapshot)
                write_ppm(c, window, win_w, win_h, snapshot);
            status = 0;
            break;
        }
        sleep_us(500);
    }
    if (status != 0)
        fprintf(stderr, "bench_first_paint: no painted window within %.0f s\n", timeout_ms / 1e3);
    xcb_disconnect(c);
    if (!leave || status != 0) {
        kill(child, SIGTERM);
        waitpid(child, NULL, 0);
    }
    return status;
}
