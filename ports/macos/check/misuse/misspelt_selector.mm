// expect: no known class method for selector 'mainAppServce'
// A selector spelt wrong is a message nothing answers: on a Mac, a crash
// ("unrecognized selector") at the moment it is sent.
#include <ServiceManagement/ServiceManagement.h>

[[maybe_unused]] static bool loginItemEnabled() {
    return [SMAppService mainAppServce].status == SMAppServiceStatusEnabled;
}
