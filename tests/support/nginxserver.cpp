#include "support/nginxserver.h"

#include "protocols/ipaddress.h"

#include <QDir>
#include <unistd.h>

namespace hl::test {

NginxServer::NginxServer(const NginxOptions& options)
    : LoopbackServer(QStringLiteral("error.log"), options.address), tls_(!options.certificateFile.isEmpty()) {
    const QString p = dir().path();
    QDir().mkpath(p + QStringLiteral("/temp"));
    start(QStringLiteral("/usr/sbin/nginx"), [&](quint16 port) {
        // Worker processes of a root master would switch to an unprivileged user that cannot read
        // the test's private temporary folders.
        const QString user = ::geteuid() == 0 ? QStringLiteral("user root root;\n") : QString();
        const QString listen =
            QStringLiteral("listen %1%2;")
                .arg(hostAndPort(options.address, port), tls_ ? QStringLiteral(" ssl") : QString());
        const QString tls = tls_ ? QStringLiteral("ssl_certificate %1;\nssl_certificate_key %2;\n"
                                                  "ssl_protocols TLSv1 TLSv1.1 TLSv1.2 TLSv1.3;\n")
                                       .arg(options.certificateFile, options.keyFile)
                                 : QString();
        const QString config = user + QStringLiteral("worker_processes 1;\n"
                                                     "pid %1/nginx.pid;\n"
                                                     "error_log %1/error.log info;\n"
                                                     "events { worker_connections 1024; }\n"
                                                     "http {\n"
                                                     "  access_log %1/access.log;\n"
                                                     "  client_body_temp_path %1/temp/body;\n"
                                                     "  proxy_temp_path %1/temp/proxy;\n"
                                                     "  fastcgi_temp_path %1/temp/fastcgi;\n"
                                                     "  uwsgi_temp_path %1/temp/uwsgi;\n"
                                                     "  scgi_temp_path %1/temp/scgi;\n"
                                                     "  default_type application/octet-stream;\n"
                                                     "  sendfile on;\n"
                                                     "  keepalive_requests 100000;\n"
                                                     "  server {\n"
                                                     "    %2\n"
                                                     "    server_name localhost;\n"
                                                     "    root %3;\n"
                                                     "    %4\n"
                                                     "    %5\n"
                                                     "  }\n"
                                                     "}\n")
                                          .arg(p, listen, files_.path(), tls, options.serverDirectives);
        dir().write(QStringLiteral("nginx.conf"), config.toUtf8());
        return QStringList{QStringLiteral("-p"), p,
                           QStringLiteral("-c"), dir().file(QStringLiteral("nginx.conf")),
                           QStringLiteral("-g"), QStringLiteral("daemon off;")};
    });
}

QString NginxServer::put(const QString& name, const QByteArray& content) const {
    files_.write(name, content);
    return url(QLatin1Char('/') + name);
}

QString NginxServer::url(const QString& path) const {
    return (tls_ ? QStringLiteral("https://") : QStringLiteral("http://")) + authority() + path;
}

} // namespace hl::test
