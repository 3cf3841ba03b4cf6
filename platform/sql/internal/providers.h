// The connection-string reader and the provider registry behind Connection::Open. Internal to
// platform/sql: the program only registers providers and configures the embedded database
// through client.h.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/sql/provider.h"

namespace sql::internal {

// Splits "Key=Value;Key2=Value2" into pairs: keys lower-cased, keys and values trimmed. A value
// may be quoted with " or ' (the quote doubled inside stands for itself) to hold ';'. Parts
// without '=' are ignored.
ConnectionProperties ParseConnectionString(std::string_view text);

// The value of the last pair with `key` (lower case); empty when there is none.
std::string PropertyValue(const ConnectionProperties& properties, std::string_view key);

// The registry key of the Provider property: upper-cased, without its trailing version numbers
// ("SQLOLEDB.1" -> "SQLOLEDB"). No Provider at all means MSDASQL, ADO's default.
std::string ProviderKey(const ConnectionProperties& properties);

// The factory registered under `key`; empty when none is.
ProviderFactory FindProvider(const std::string& key);

EmbeddedDatabase EmbeddedConfiguration();

// The built-in SQLOLEDB factory: the embedded engine on the file the Data Source names, or on the
// configured default file when it is empty.
std::unique_ptr<ProviderSession> OpenEmbeddedSession(const ConnectionProperties& properties);

}  // namespace sql::internal
