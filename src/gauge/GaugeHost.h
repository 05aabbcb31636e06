/* GaugeHost.h: what a panel host and the gauge module share. The module exports `Linkage` and
 * `ImportTable`; the host fills the import table's panel services, then drives every gauge
 * through its callback and mouse rectangles. Plain C data, so every host (the Linux panel host,
 * the Windows test host) reads the same records. */
#ifndef HALVEX_GAUGE_HOST_H
#define HALVEX_GAUGE_HOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Element lists ------------------------------------------------------------------------ */

enum {
    HALVEX_ELEMENT_STATIC_IMAGE = 0,

    HALVEX_IMAGE_BACKGROUND = 0x20u,    /* the gauge's background image */
    HALVEX_IMAGE_OPAQUE = 0x1u,         /* drawn without its transparent colour (LNAV_TGL) */
    HALVEX_IMAGE_HIDDEN = 0x40000000u,  /* bit 30: the host does not show the element */
    HALVEX_IMAGE_COMPOSED = 0x80000000u /* bit 31: set by the host once composed; the module
                                           clears it to have the element composed again */
};

typedef struct HalvexElement HalvexElement;
struct HalvexElement {
    uint32_t type;            /* HALVEX_ELEMENT_STATIC_IMAGE */
    uint32_t bitmapId;        /* resource id of the image */
    int32_t x, y;             /* position in the parent's background pixels */
    HalvexElement** children; /* null-terminated list, or null */
    uint32_t imageFlags;
    /* Filled by the host when it installs the list: */
    int32_t imageWidth, imageHeight; /* device pixels of the image as the host shows it */
    void* deviceContext;             /* Linux: the element's cairo_surface_t*; Windows: an HDC */
};

/* ---- Mouse rectangles --------------------------------------------------------------------- */

enum {
    HALVEX_MOUSE_END = 0,
    HALVEX_MOUSE_PARENT = 1,
    HALVEX_MOUSE_CHILD = 2,
    HALVEX_MOUSE_END_OF_PARENT = 3,

    HALVEX_CURSOR_NONE = -1,
    HALVEX_CURSOR_UP_ARROW = 1,
    HALVEX_CURSOR_HAND = 5,

    HALVEX_MOUSE_WHEEL_DOWN = 0x2000u,
    HALVEX_MOUSE_WHEEL_UP = 0x4000u,
    HALVEX_MOUSE_LEFT_SINGLE = 0x20000000u,
    HALVEX_MOUSE_MIDDLE_SINGLE = 0x40000000u
};

typedef struct HalvexMouseRect HalvexMouseRect;
typedef int32_t (*HalvexMouseHandler)(HalvexMouseRect* rect, uint32_t mouseFlags);

struct HalvexMouseRect {
    int32_t kind;                 /* HALVEX_MOUSE_* */
    int32_t x, y, width, height;  /* pixels of the gauge's background bitmap */
    int32_t cursor;               /* HALVEX_CURSOR_* */
    uint32_t helpId;
    uint32_t mouseFlags;          /* the events the rectangle accepts */
    uint32_t eventId;             /* always 0 */
    HalvexMouseHandler handler;
    void* handlerData;            /* always null */
};

/* ---- Gauges ------------------------------------------------------------------------------- */

enum {
    HALVEX_GAUGE_HEADER_VERSION = 800,

    HALVEX_SERVICE_PRE_UPDATE = 6,
    HALVEX_SERVICE_PRE_DRAW = 10,
    HALVEX_SERVICE_CONNECT = 14,
    HALVEX_SERVICE_DISCONNECT = 15
};

typedef struct HalvexGaugeHeader HalvexGaugeHeader;
typedef uint32_t (*HalvexGaugeCallback)(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);

struct HalvexGaugeHeader {
    uint32_t version;            /* HALVEX_GAUGE_HEADER_VERSION */
    const char* name;
    HalvexElement** elementList; /* the first element of the list */
    void (*query)(void);
    void (*install)(void* argument);
    void (*initialize)(void);
    void (*update)(void);
    void (*generate)(uint32_t phase);
    void (*draw)(void);
    void (*kill)(void);
    uint32_t reserved1;
    uint32_t sizeXmm, sizeYmm;   /* default size: 100 mm wide, 0 high */
    float adjustX, adjustY;
    uint32_t reserved2, reserved3;
    int32_t positionX, positionY;
    uint32_t reserved4;
    HalvexMouseRect* mouseRects;
    HalvexGaugeCallback callback;
    uint32_t userData;
    void* parameters;
    void* usage;
    uint32_t reserved5, reserved6, reserved7;
};

/* ---- The module's exports and the host's services ----------------------------------------- */

enum {
    HALVEX_MODULE_ID = 0x13,
    HALVEX_MODULE_VERSION = 0x900,
    HALVEX_GAUGE_COUNT = 6,
    HALVEX_IMPORT_PANEL_SERVICES = 0x0F
};

typedef struct HalvexLinkage {
    uint32_t moduleId;
    void (*init)(void);
    void (*deinit)(void);
    uint32_t flags;
    uint32_t priority;
    uint32_t version;
    HalvexGaugeHeader* gauges[HALVEX_GAUGE_COUNT + 1]; /* null-terminated */
} HalvexLinkage;

/* The services the host puts into the import table before any gauge routine runs. The first seven
 * act on element lists; the rest are the window system, which a Windows module reaches directly. */
typedef struct HalvexPanelServices {
    void (*elementListQuery)(HalvexElement* first);
    void (*elementListInstall)(HalvexElement* first, void* argument);
    void (*elementListInitialize)(HalvexElement* first);
    void (*elementListUpdate)(HalvexElement* first);
    void (*elementListGenerate)(HalvexElement* first, uint32_t phase);
    void (*elementListPlot)(HalvexElement* first);
    void (*elementListKill)(HalvexElement* first);

    void* (*activeWindow)(void); /* null when the host shows no window */
    /* Shows the start-up picture (a bitmap id) over the owner window; returns its handle. */
    void* (*showStartupPicture)(void* owner, uint32_t bitmapId);
    void (*closeStartupPicture)(void* picture);
    /* The CDU's text grid after each CDU draw, row by row (the cells' character, font and colour
     * bits), with its 8 ARGB colours, for hosts that read the screen as text. May be null. */
    void (*cduScreen)(const uint32_t* cells, int32_t rows, int32_t columns, const uint32_t* palette);
    /* The module's FMS core once connect has built it, null again at disconnect. Only a host
     * built from the same sources in the same build may use it (the flight runner and tests do,
     * to apply plans and record the flight); any other host leaves this null. May be null. */
    void (*coreChanged)(void* core);
} HalvexPanelServices;

typedef struct HalvexImportEntry {
    uint32_t id;   /* HALVEX_IMPORT_PANEL_SERVICES, then 0 */
    void* table;   /* HalvexPanelServices*, filled by the host */
} HalvexImportEntry;

/* Exported symbol names, and where a host finds the module's bitmaps on Linux: PNG files named
 * by id in a folder beside the module, "<module file name>.res/<id>.png". */
#define HALVEX_LINKAGE_SYMBOL "Linkage"
#define HALVEX_IMPORT_TABLE_SYMBOL "ImportTable"
#define HALVEX_RESOURCE_FOLDER_SUFFIX ".res"

#ifdef __cplusplus
}
#endif

#endif
