#include "http_client.h"

#include "program_module.h"

namespace DownloadModule {

QString fileName() { return QStringLiteral("lexmire-download.so"); }

std::unique_ptr<HttpClient> load(const QStringList& paths)
{
    const auto factory
        = reinterpret_cast<HttpClientFactory>(ProgramModule::find(paths, LEXMIRE_HTTP_CLIENT_FACTORY).entry);
    return factory ? std::unique_ptr<HttpClient>(factory()) : nullptr;
}

std::unique_ptr<HttpClient> load() { return load(ProgramModule::searchPaths(fileName())); }

}
