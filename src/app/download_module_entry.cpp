// The lexmire-download module's entry point.
#include "qt_http_client.h"

extern "C" Q_DECL_EXPORT HttpClient* lexmire_make_http_client() { return new QtHttpClient; }
