#pragma once

#include "update/UpdateHttp.h"

class INIFILES;

// The update check's proxy in the settings file, section [Proxy]:
//   UseProxy=0|1, Server=<host>, Port=1..65535 (8080), UserName=<text>,
//   RememberPassword=0|1, Password=<the password, base64 of its UTF-8>.
// The password is written only while RememberPassword is 1; otherwise it lives in memory for
// the session and no Password key stays in the file. Base64 keeps any password whole in the
// single-byte file (blanks at its ends, characters beyond Latin-1); it is an encoding, not a
// lock: whoever can read the file can read the password.
UpdateProxy ReadUpdateProxy(INIFILES &ini);
void WriteUpdateProxy(INIFILES &ini, const UpdateProxy &proxy);
