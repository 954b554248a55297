// A GStreamer device provider that offers webcams made of videotestsrc,
// so that the program's real camera path (Qt Multimedia over GStreamer's
// device monitor) runs on a machine without a camera. The tests load it
// through GST_PLUGIN_PATH. The first camera's name has blanks around it, as
// some drivers write them; each camera offers several formats, and each
// draws a moving ball over a background of its own colour, so that a test
// can tell live frames from a frozen one and one camera from the other.

#include <gst/gst.h>

namespace {

struct CameraModel {
    const char* name;
    const char* path;
    guint background; // ARGB
    bool live;
};

// The third draws as fast as it is asked to instead of at its frame rate,
// as some capture sources do; behind the preview's queue, which keeps only
// the newest frame, its timestamps run ahead of the clock.
constexpr CameraModel Cameras[] = {
    {"  Camera di prova  ", "/ritrax/test-camera/0", 0xff000080u, true},
    {"Camera di prova 2", "/ritrax/test-camera/1", 0xff008000u, true},
    {"Camera di prova non in diretta", "/ritrax/test-camera/2", 0xff800000u, false},
};

// The default format first: Qt starts a camera in the first format it lists
// when nothing else decides.
constexpr const char* Formats = "video/x-raw, format=YUY2, width=640, height=480, framerate=30/1; "
                                "video/x-raw, format=YUY2, width=1280, height=720, framerate=10/1; "
                                "video/x-raw, format=I420, width=320, height=240, framerate=15/1; "
                                "video/x-raw, format=I420, width=800, height=600, framerate=20/1";

} // namespace

G_BEGIN_DECLS

#define RITRAX_TYPE_TEST_CAMERA (ritrax_test_camera_get_type())
G_DECLARE_FINAL_TYPE(RitraxTestCamera, ritrax_test_camera, RITRAX, TEST_CAMERA, GstDevice)

#define RITRAX_TYPE_TEST_CAMERA_PROVIDER (ritrax_test_camera_provider_get_type())
G_DECLARE_FINAL_TYPE(RitraxTestCameraProvider, ritrax_test_camera_provider, RITRAX, TEST_CAMERA_PROVIDER,
                     GstDeviceProvider)

G_END_DECLS

struct _RitraxTestCamera {
    GstDevice parent;
    guint background;
    gboolean live;
};

struct _RitraxTestCameraProvider {
    GstDeviceProvider parent;
};

G_DEFINE_TYPE(RitraxTestCamera, ritrax_test_camera, GST_TYPE_DEVICE)
G_DEFINE_TYPE(RitraxTestCameraProvider, ritrax_test_camera_provider, GST_TYPE_DEVICE_PROVIDER)

static GstElement* ritrax_test_camera_create_element(GstDevice* device, const gchar* name)
{
    GstElement* source = gst_element_factory_make("videotestsrc", name);
    if (!source)
        return nullptr;
    RitraxTestCamera* camera = RITRAX_TEST_CAMERA(device);
    g_object_set(source, "is-live", camera->live, "background-color", camera->background, nullptr);
    gst_util_set_object_arg(G_OBJECT(source), "pattern", "ball");
    return source;
}

static void ritrax_test_camera_class_init(RitraxTestCameraClass* klass)
{
    GST_DEVICE_CLASS(klass)->create_element = ritrax_test_camera_create_element;
}

static void ritrax_test_camera_init(RitraxTestCamera* camera)
{
    camera->background = 0xff000000u;
    camera->live = TRUE;
}

static GList* ritrax_test_camera_provider_probe(GstDeviceProvider*)
{
    GList* devices = nullptr;
    for (const CameraModel& model : Cameras) {
        GstCaps* caps = gst_caps_from_string(Formats);
        GstStructure* properties = gst_structure_new("ritrax-test-camera", "device.path", G_TYPE_STRING,
                                                     model.path, nullptr);
        auto* camera = static_cast<RitraxTestCamera*>(g_object_new(RITRAX_TYPE_TEST_CAMERA, "display-name",
                                                                   model.name, "device-class", "Video/Source",
                                                                   "caps", caps, "properties", properties,
                                                                   nullptr));
        camera->background = model.background;
        camera->live = model.live;
        gst_caps_unref(caps);
        gst_structure_free(properties);
        devices = g_list_append(devices, gst_object_ref_sink(camera));
    }
    return devices;
}

static void ritrax_test_camera_provider_class_init(RitraxTestCameraProviderClass* klass)
{
    GstDeviceProviderClass* provider = GST_DEVICE_PROVIDER_CLASS(klass);
    provider->probe = ritrax_test_camera_provider_probe;
    gst_device_provider_class_set_static_metadata(provider, "Ritrax test cameras", "Source/Video",
                                                  "Two webcams drawn by videotestsrc", "Ritrax");
}

static void ritrax_test_camera_provider_init(RitraxTestCameraProvider*)
{
}

static gboolean plugin_init(GstPlugin* plugin)
{
    return gst_device_provider_register(plugin, "ritraxtestcameras", GST_RANK_PRIMARY,
                                        RITRAX_TYPE_TEST_CAMERA_PROVIDER);
}

// The plugin loader records which package a plugin belongs to.
#define PACKAGE "ritrax-tests"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, ritraxtestcamera, "Test cameras for Ritrax's tests",
                  plugin_init, "1.0", "LGPL", "ritrax-tests", "https://ritrax.it")
