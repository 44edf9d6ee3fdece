#include "app/QuelpApp.h"

namespace quelp {

QuelpApp::QuelpApp(QuelpPorts ports) : ports_(ports) {}

}  // namespace quelp
