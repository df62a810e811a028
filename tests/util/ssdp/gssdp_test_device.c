/* A test device on a real SSDP stack that is not ours (GSSDP): it announces one root device
 * with the given location and answers searches, on the interface of the given address, until
 * it is ended by a signal. Its description is served by the test.
 *
 * usage: gssdp-test-device ADDRESS LOCATION [USN]
 * Prints "ready" on the standard output once the device is available. */
#include <libgssdp/gssdp.h>

#include <glib-unix.h>
#include <stdio.h>

static gboolean Quit(gpointer loop) {
    g_main_loop_quit(loop);
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "usage: gssdp-test-device ADDRESS LOCATION [USN]\n");
        return 2;
    }
    GError* error = NULL;
    GInetAddress* address = g_inet_address_new_from_string(argv[1]);
    if (!address) {
        fprintf(stderr, "gssdp-test-device: %s is no address\n", argv[1]);
        return 2;
    }
    GSSDPClient* client = gssdp_client_new_for_address(address, 0, GSSDP_UDA_VERSION_1_0, &error);
    if (!client) {
        fprintf(stderr, "gssdp-test-device: %s\n", error ? error->message : "no client");
        return 1;
    }
    GSSDPResourceGroup* group = gssdp_resource_group_new(client);
    const char* usn = argc == 4 ? argv[3] : "uuid:5e1f7a20-velkor-test::upnp:rootdevice";
    gssdp_resource_group_add_resource_simple(group, "upnp:rootdevice", usn, argv[2]);
    gssdp_resource_group_set_available(group, TRUE);

    GMainLoop* loop = g_main_loop_new(NULL, FALSE);
    g_unix_signal_add(SIGTERM, Quit, loop);
    g_unix_signal_add(SIGINT, Quit, loop);
    printf("ready\n");
    fflush(stdout);
    g_main_loop_run(loop);

    g_main_loop_unref(loop);
    g_object_unref(group);
    g_object_unref(client);
    g_object_unref(address);
    return 0;
}
