/* The C interface of libKestrinX.so: what a client (a form designer, a scripting host, a test)
 * needs to load the library, register it, create its objects and talk to them.
 *
 * It follows the public conventions of the platform's component object model and automation:
 * 128-bit identifiers, 32-bit result codes (negative for failure), objects reached through
 * tables of function pointers whose first three entries are QueryInterface, AddRef and Release,
 * class factories, dispatch by identifier with variant arguments, connection points for events
 * and a property-page protocol. Result codes, variant type numbers, invocation flags and the
 * identifiers of the standard interfaces have the platform's published values. Strings are
 * UTF-8 (see KxBStr); the rest of this file says where a structure or a rule is this library's own.
 *
 * The library exports exactly four functions (see the end of this file). Everything else is
 * reached through the objects they hand out.
 *
 * Rules every interface keeps:
 *  - A function that hands out an interface pointer has added a reference to it; the receiver
 *    releases it. Output pointers are set to NULL on failure.
 *  - A NULL required pointer argument gives KX_E_POINTER; nothing else happens.
 *  - Calls come from one thread at a time (the objects are single-threaded, like the
 *    platform's apartment model); reference counts alone are safe from any thread.
 *  - A caller holds a reference to an object for the duration of every call on it.
 *
 * The header is plain C11 (the variant holds an anonymous union) and includes only the C library.
 */
#ifndef KESTRINX_ABI_H
#define KESTRINX_ABI_H

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- result codes ------------------------------------------------------------------------- */

typedef int32_t KxHResult;

#define KX_SUCCEEDED(hr) ((KxHResult)(hr) >= 0)
#define KX_FAILED(hr) ((KxHResult)(hr) < 0)

#define KX_S_OK ((KxHResult)0)
#define KX_S_FALSE ((KxHResult)1)
#define KX_E_NOTIMPL ((KxHResult)0x80004001)
#define KX_E_NOINTERFACE ((KxHResult)0x80004002)
#define KX_E_POINTER ((KxHResult)0x80004003)
#define KX_E_FAIL ((KxHResult)0x80004005)
#define KX_E_UNEXPECTED ((KxHResult)0x8000FFFF)
#define KX_E_ACCESSDENIED ((KxHResult)0x80070005)
#define KX_E_OUTOFMEMORY ((KxHResult)0x8007000E)
#define KX_E_INVALIDARG ((KxHResult)0x80070057)
#define KX_CLASS_E_NOAGGREGATION ((KxHResult)0x80040110)
#define KX_CLASS_E_CLASSNOTAVAILABLE ((KxHResult)0x80040111)
#define KX_DISP_E_UNKNOWNINTERFACE ((KxHResult)0x80020001)
#define KX_DISP_E_MEMBERNOTFOUND ((KxHResult)0x80020003)
#define KX_DISP_E_PARAMNOTFOUND ((KxHResult)0x80020004)
#define KX_DISP_E_TYPEMISMATCH ((KxHResult)0x80020005)
#define KX_DISP_E_UNKNOWNNAME ((KxHResult)0x80020006)
#define KX_DISP_E_NONAMEDARGS ((KxHResult)0x80020007)
#define KX_DISP_E_BADVARTYPE ((KxHResult)0x80020008)
#define KX_DISP_E_EXCEPTION ((KxHResult)0x80020009)
#define KX_DISP_E_OVERFLOW ((KxHResult)0x8002000A)
#define KX_DISP_E_BADINDEX ((KxHResult)0x8002000B)
#define KX_DISP_E_BADPARAMCOUNT ((KxHResult)0x8002000E)
#define KX_DISP_E_PARAMNOTOPTIONAL ((KxHResult)0x8002000F)
#define KX_CONNECT_E_NOCONNECTION ((KxHResult)0x80040200)
#define KX_CONNECT_E_CANNOTCONNECT ((KxHResult)0x80040202)
/* Registration: the type library, or a class, could not be registered or unregistered. */
#define KX_SELFREG_E_TYPELIB ((KxHResult)0x80040200)
#define KX_SELFREG_E_CLASS ((KxHResult)0x80040201)

/* A control's run-time error number as a result code (facility 10): error 382 is 0x800A017E. */
#define KX_FACILITY_CONTROL 10
#define KX_ERROR_SCODE(number) ((KxHResult)(0x800A0000u | ((uint32_t)(number)&0xFFFFu)))
#define KX_SCODE_FACILITY(hr) ((int)(((uint32_t)(hr) >> 16) & 0x1FFFu))
#define KX_SCODE_CODE(hr) ((int)((uint32_t)(hr)&0xFFFFu))

/* ---- identifiers -------------------------------------------------------------------------- */

/* A 128-bit identifier in its standard field layout; "{Data1-Data2-Data3-Data4[0..1]-Data4[2..7]}". */
typedef struct KxGuid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} KxGuid;

static inline int kx_guid_equal(const KxGuid* a, const KxGuid* b) { return memcmp(a, b, sizeof(KxGuid)) == 0; }

/* The standard interfaces, with their published identifiers. */
static const KxGuid KX_IID_UNKNOWN = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const KxGuid KX_IID_CLASSFACTORY = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const KxGuid KX_IID_DISPATCH = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const KxGuid KX_IID_CONNECTIONPOINTCONTAINER = {0xB196B284, 0xBAB4, 0x101A,
                                                       {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
static const KxGuid KX_IID_CONNECTIONPOINT = {
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
/* This library's property-page interfaces (their shape is its own, see below). */
static const KxGuid KX_IID_PROPERTYPAGE = {
    0x6F0C5A10, 0x3B7E, 0x4C25, {0x9A, 0x61, 0x4B, 0x58, 0x54, 0x52, 0x49, 0x01}};
static const KxGuid KX_IID_PROPERTYPAGESITE = {0x6F0C5A11, 0x3B7E, 0x4C25,
                                               {0x9A, 0x61, 0x4B, 0x58, 0x54, 0x52, 0x49, 0x01}};
/* The nil identifier: what Invoke and GetIDsOfNames take as their reserved interface argument. */
static const KxGuid KX_IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

/* ---- strings ------------------------------------------------------------------------------ */

/* A string crossing the interface: UTF-8 bytes preceded by their length as a 32-bit unsigned
 * number (stored just before the first byte) and followed by a NUL, so it may hold NUL bytes and
 * still reads as a C string. NULL is the empty string. Allocate with kx_bstr_alloc and free with
 * kx_bstr_free (both use malloc and free, so either side of the interface may free what the
 * other allocated). A string a function returns belongs to the caller; a string passed in stays
 * the caller's. */
typedef char* KxBStr;

static inline KxBStr kx_bstr_alloc(const char* bytes, uint32_t length) {
  char* block = (char*)malloc(sizeof(uint32_t) + (size_t)length + 1);
  if (block == NULL) return NULL;
  memcpy(block, &length, sizeof length);
  if (length > 0) memcpy(block + sizeof(uint32_t), bytes, length);
  block[sizeof(uint32_t) + length] = '\0';
  return block + sizeof(uint32_t);
}
static inline KxBStr kx_bstr_from(const char* text) { return kx_bstr_alloc(text, (uint32_t)strlen(text)); }
static inline uint32_t kx_bstr_length(const KxBStr s) {
  uint32_t length = 0;
  if (s != NULL) memcpy(&length, s - sizeof(uint32_t), sizeof length);
  return length;
}
static inline void kx_bstr_free(KxBStr s) {
  if (s != NULL) free(s - sizeof(uint32_t));
}

/* ---- objects ------------------------------------------------------------------------------ */

typedef struct KxUnknown KxUnknown;
typedef struct KxUnknownVtbl {
  /* Hands out the object's interface `riid` (one reference added), or KX_E_NOINTERFACE. */
  KxHResult (*QueryInterface)(KxUnknown* self, const KxGuid* riid, void** ppv);
  /* Add and drop one reference; each returns the count after the call (for diagnostics only).
   * The object is destroyed when the last reference is dropped. */
  uint32_t (*AddRef)(KxUnknown* self);
  uint32_t (*Release)(KxUnknown* self);
} KxUnknownVtbl;
struct KxUnknown {
  const KxUnknownVtbl* lpVtbl;
};

/* ---- class factories ---------------------------------------------------------------------- */

typedef struct KxClassFactory KxClassFactory;
typedef struct KxClassFactoryVtbl {
  KxHResult (*QueryInterface)(KxClassFactory* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxClassFactory* self);
  uint32_t (*Release)(KxClassFactory* self);
  /* Creates one object of the factory's class and hands out its interface `riid`. `outer` must
   * be NULL (KX_CLASS_E_NOAGGREGATION otherwise). A control is created on a host of its own and
   * set up as a newly placed control (Initialize, then InitProperties); a property page is
   * created with its widgets and initialised, and shows nothing until it is given objects. */
  KxHResult (*CreateInstance)(KxClassFactory* self, KxUnknown* outer, const KxGuid* riid, void** ppv);
  /* lock != 0 keeps the library loaded (DllCanUnloadNow answers KX_S_FALSE) until a matching
   * call with lock == 0. An unlock without a lock is KX_E_UNEXPECTED. */
  KxHResult (*LockServer)(KxClassFactory* self, int32_t lock);
} KxClassFactoryVtbl;
struct KxClassFactory {
  const KxClassFactoryVtbl* lpVtbl;
};

/* ---- variants ----------------------------------------------------------------------------- */

typedef uint16_t KxVarType;
enum {
  KX_VT_EMPTY = 0,
  KX_VT_NULL = 1,
  KX_VT_I2 = 2,
  KX_VT_I4 = 3,
  KX_VT_R4 = 4,
  KX_VT_R8 = 5,
  KX_VT_DATE = 7, /* days since 1899-12-30, the fraction being the time of day */
  KX_VT_BSTR = 8,
  KX_VT_DISPATCH = 9,
  KX_VT_ERROR = 10, /* as an argument: "not given" */
  KX_VT_BOOL = 11,  /* 16 bits, true = -1, false = 0 */
  KX_VT_VARIANT = 12,
  KX_VT_UNKNOWN = 13,
  KX_VT_BYREF = 0x4000
};
#define KX_VARIANT_TRUE ((int16_t)-1)
#define KX_VARIANT_FALSE ((int16_t)0)

/* A value of one of the types above. With KX_VT_BYREF added, the matching pointer member points
 * to the caller's variable (KX_VT_BYREF | KX_VT_VARIANT: to another variant).
 * Objects the library hands out (fonts, pictures, data objects) are KX_VT_UNKNOWN objects that
 * carry the value; they may be handed back (a font read from one control put on another) and a
 * NULL object is "nothing". Other types are refused with KX_DISP_E_BADVARTYPE. */
typedef struct KxVariant {
  KxVarType vt;
  uint16_t reserved1, reserved2, reserved3;
  union {
    int16_t iVal;
    int32_t lVal;
    float fltVal;
    double dblVal;
    int16_t boolVal;
    double date;
    KxBStr bstrVal;
    KxUnknown* punkVal;
    struct KxDispatch* pdispVal;
    KxHResult scode;
    int16_t* piVal;
    int32_t* plVal;
    float* pfltVal;
    double* pdblVal;
    int16_t* pboolVal;
    double* pdate;
    KxBStr* pbstrVal;
    KxUnknown** ppunkVal;
    struct KxDispatch** ppdispVal;
    struct KxVariant* pvarVal;
  };
} KxVariant;

static inline void kx_variant_init(KxVariant* v) { memset(v, 0, sizeof *v); }
/* Frees what the variant owns (its string, its object reference) and empties it. */
static inline void kx_variant_clear(KxVariant* v) {
  if (v->vt == KX_VT_BSTR) kx_bstr_free(v->bstrVal);
  if ((v->vt == KX_VT_UNKNOWN || v->vt == KX_VT_DISPATCH) && v->punkVal != NULL)
    v->punkVal->lpVtbl->Release(v->punkVal);
  kx_variant_init(v);
}

/* ---- dispatch ----------------------------------------------------------------------------- */

/* Invocation kinds (flags; a scripting client's "get or call" is METHOD | PROPERTYGET). */
#define KX_DISPATCH_METHOD 1
#define KX_DISPATCH_PROPERTYGET 2
#define KX_DISPATCH_PROPERTYPUT 4
#define KX_DISPATCH_PROPERTYPUTREF 8
/* The named argument that carries a put's value, and the identifier of an unknown name. */
#define KX_DISPID_PROPERTYPUT (-3)
#define KX_DISPID_UNKNOWN (-1)

/* The arguments of one call, in reverse order (rgvarg[0] is the last argument). */
typedef struct KxDispParams {
  KxVariant* rgvarg;
  int32_t* rgdispidNamedArgs;
  uint32_t cArgs;
  uint32_t cNamedArgs;
} KxDispParams;

/* What a failed call raised. The run-time error number is KX_SCODE_CODE(scode) when
 * KX_SCODE_FACILITY(scode) is KX_FACILITY_CONTROL; the strings belong to the caller, who frees
 * them (kx_excepinfo_clear). This library fills it for every failure that has an error number
 * (not only for KX_DISP_E_EXCEPTION), so a client can always show the number and text. */
typedef struct KxExcepInfo {
  uint16_t wCode; /* 0: see scode */
  uint16_t wReserved;
  KxBStr bstrSource;      /* the class's programmatic name ("KestrinX.Kestrin") */
  KxBStr bstrDescription; /* the error's text */
  KxBStr bstrHelpFile;    /* NULL */
  uint32_t dwHelpContext;
  void* pvReserved;
  void* pfnDeferredFillIn; /* NULL */
  KxHResult scode;
} KxExcepInfo;

static inline void kx_excepinfo_clear(KxExcepInfo* e) {
  kx_bstr_free(e->bstrSource);
  kx_bstr_free(e->bstrDescription);
  kx_bstr_free(e->bstrHelpFile);
  memset(e, 0, sizeof *e);
}

typedef struct KxDispatch KxDispatch;
typedef struct KxDispatchVtbl {
  KxHResult (*QueryInterface)(KxDispatch* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxDispatch* self);
  uint32_t (*Release)(KxDispatch* self);
  /* This library's objects offer no type information objects: *count is 0 (the type library
   * itself is the library's TYPELIB resource). GetTypeInfo is KX_E_NOTIMPL. */
  KxHResult (*GetTypeInfoCount)(KxDispatch* self, uint32_t* count);
  KxHResult (*GetTypeInfo)(KxDispatch* self, uint32_t index, uint32_t lcid, void** typeInfo);
  /* names[0] is a member's name (any case); the others would be its parameters' names. Fills
   * dispids[0 .. count-1]; an unknown name gets KX_DISPID_UNKNOWN and the call answers
   * KX_DISP_E_UNKNOWNNAME. `riid` must be the nil identifier. */
  KxHResult (*GetIDsOfNames)(KxDispatch* self, const KxGuid* riid, const char* const* names, uint32_t count,
                             uint32_t lcid, int32_t* dispids);
  /* Calls member `dispid` as `flags` says. A put takes its value as the only argument (named
   * KX_DISPID_PROPERTYPUT, or unnamed); a get returns the value in *result (may be NULL for a
   * put or a method). Values are converted to the member's type by the automation rules.
   * Failures: KX_DISP_E_MEMBERNOTFOUND (no such member, or it has no entry of the kind asked:
   * error 438, or 383 for a put of a read-only property), KX_DISP_E_TYPEMISMATCH (error 13;
   * *argErr = 0), KX_DISP_E_OVERFLOW (error 6), KX_DISP_E_PARAMNOTOPTIONAL (a put without its
   * value), KX_DISP_E_BADPARAMCOUNT (arguments a member does not take), KX_DISP_E_NONAMEDARGS,
   * KX_DISP_E_BADVARTYPE, KX_DISP_E_EXCEPTION (any other run-time error, such as the control's
   * own 382 and 393: the number and text are in *excep). Nothing changes on failure. */
  KxHResult (*Invoke)(KxDispatch* self, int32_t dispid, const KxGuid* riid, uint32_t lcid, uint16_t flags,
                      KxDispParams* params, KxVariant* result, KxExcepInfo* excep, uint32_t* argErr);
} KxDispatchVtbl;
struct KxDispatch {
  const KxDispatchVtbl* lpVtbl;
};

/* ---- events ------------------------------------------------------------------------------- */

typedef struct KxConnectionPoint KxConnectionPoint;
typedef struct KxConnectionPointContainer KxConnectionPointContainer;

typedef struct KxConnectionPointContainerVtbl {
  KxHResult (*QueryInterface)(KxConnectionPointContainer* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxConnectionPointContainer* self);
  uint32_t (*Release)(KxConnectionPointContainer* self);
  KxHResult (*EnumConnectionPoints)(KxConnectionPointContainer* self, void** enumerator); /* KX_E_NOTIMPL */
  /* The connection point of the event interface `riid` (a control's source interface), or
   * KX_CONNECT_E_NOCONNECTION. */
  KxHResult (*FindConnectionPoint)(KxConnectionPointContainer* self, const KxGuid* riid, KxConnectionPoint** cp);
} KxConnectionPointContainerVtbl;
struct KxConnectionPointContainer {
  const KxConnectionPointContainerVtbl* lpVtbl;
};

/* A sink is a KxDispatch object (asked first for the event interface, then for the dispatch
 * interface). Each event reaches every connected sink, in the order they connected, as
 * Invoke(event identifier, nil, 0, KX_DISPATCH_METHOD, arguments, NULL, NULL, NULL) with every
 * argument by reference (KX_VT_BYREF | its type, in reverse order), so a sink may change it: the
 * change reaches the control before the next sink hears the event. The sink's result is ignored. */
typedef struct KxConnectionPointVtbl {
  KxHResult (*QueryInterface)(KxConnectionPoint* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxConnectionPoint* self);
  uint32_t (*Release)(KxConnectionPoint* self);
  KxHResult (*GetConnectionInterface)(KxConnectionPoint* self, KxGuid* iid);
  KxHResult (*GetConnectionPointContainer)(KxConnectionPoint* self, KxConnectionPointContainer** container);
  /* Connects `sink` (one reference kept) and gives its cookie (never 0, never reused by this
   * object); KX_CONNECT_E_CANNOTCONNECT when the sink is not a dispatch object. */
  KxHResult (*Advise)(KxConnectionPoint* self, KxUnknown* sink, uint32_t* cookie);
  /* Disconnects the sink of `cookie` (KX_CONNECT_E_NOCONNECTION for an unknown cookie). A sink
   * disconnected while an event is being delivered hears no more of it. */
  KxHResult (*Unadvise)(KxConnectionPoint* self, uint32_t cookie);
  KxHResult (*EnumConnections)(KxConnectionPoint* self, void** enumerator); /* KX_E_NOTIMPL */
} KxConnectionPointVtbl;
struct KxConnectionPoint {
  const KxConnectionPointVtbl* lpVtbl;
};

/* ---- property pages (this library's own shape) ---------------------------------------------- */

/* Status flags a page reports to its site. */
#define KX_PROPPAGESTATUS_DIRTY 1

typedef struct KxPropertyPageSite KxPropertyPageSite;
typedef struct KxPropertyPageSiteVtbl {
  KxHResult (*QueryInterface)(KxPropertyPageSite* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxPropertyPageSite* self);
  uint32_t (*Release)(KxPropertyPageSite* self);
  /* The page's Changed flag became True (KX_PROPPAGESTATUS_DIRTY): the sheet may enable Apply. */
  KxHResult (*OnStatusChange)(KxPropertyPageSite* self, uint32_t flags);
} KxPropertyPageSiteVtbl;
struct KxPropertyPageSite {
  const KxPropertyPageSiteVtbl* lpVtbl;
};

typedef struct KxPageInfo {
  KxBStr title;   /* the page's caption; the caller frees it */
  int32_t width;  /* the page's client area, in twips */
  int32_t height;
} KxPageInfo;

typedef struct KxPropertyPage KxPropertyPage;
typedef struct KxPropertyPageVtbl {
  KxHResult (*QueryInterface)(KxPropertyPage* self, const KxGuid* riid, void** ppv);
  uint32_t (*AddRef)(KxPropertyPage* self);
  uint32_t (*Release)(KxPropertyPage* self);
  /* The site that hears the page's status (one reference kept); NULL lets it go. */
  KxHResult (*SetPageSite)(KxPropertyPage* self, KxPropertyPageSite* site);
  KxHResult (*GetPageInfo)(KxPropertyPage* self, KxPageInfo* info);
  /* The selected controls, each a dispatch object (one reference kept to each); the page loads
   * its widgets from the first and is then clean (not dirty). count 0 lets them go. On failure
   * (an object that is not a dispatch object: KX_E_NOINTERFACE; a load that raised an error:
   * see Invoke) the page keeps no object. */
  KxHResult (*SetObjects)(KxPropertyPage* self, uint32_t count, KxUnknown* const* objects, KxExcepInfo* excep);
  /* KX_S_OK when the page's Changed flag is True, KX_S_FALSE otherwise. */
  KxHResult (*IsPageDirty)(KxPropertyPage* self);
  /* Applies the page to every selected control and makes the page clean. A page that refuses
   * its own widgets' values (error 380 naming the field) changes no control and stays dirty. */
  KxHResult (*Apply)(KxPropertyPage* self, KxExcepInfo* excep);
} KxPropertyPageVtbl;
struct KxPropertyPage {
  const KxPropertyPageVtbl* lpVtbl;
};

/* ---- the library's entry points ----------------------------------------------------------- */

/* Writes the library's classes (their identifiers, names, programmatic names, server file,
 * type library and, for controls, the toolbox image), its type library and its interfaces to
 * the registry (a file: $KESTRINX_REGISTRY, else $XDG_DATA_HOME/kestrinx/registry.json, else
 * ~/.local/share/kestrinx/registry.json). Registering again changes nothing. Failure:
 * KX_SELFREG_E_CLASS with the registry unchanged. */
KxHResult DllRegisterServer(void);
/* Removes exactly the values DllRegisterServer writes, and the keys they leave empty. */
KxHResult DllUnregisterServer(void);
/* The class factory of class `rclsid` as interface `riid` (KX_IID_CLASSFACTORY or
 * KX_IID_UNKNOWN); KX_CLASS_E_CLASSNOTAVAILABLE for a class the library does not serve. */
KxHResult DllGetClassObject(const KxGuid* rclsid, const KxGuid* riid, void** ppv);
/* KX_S_FALSE while any object the library handed out is alive or the server is locked,
 * KX_S_OK otherwise. */
KxHResult DllCanUnloadNow(void);

typedef KxHResult (*KxDllRegisterServerFn)(void);
typedef KxHResult (*KxDllUnregisterServerFn)(void);
typedef KxHResult (*KxDllGetClassObjectFn)(const KxGuid* rclsid, const KxGuid* riid, void** ppv);
typedef KxHResult (*KxDllCanUnloadNowFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* KESTRINX_ABI_H */
