#include "foundation/testing/file_presence.h"

#include "foundation/file_error.h"

bool HoldsFile(file_system_c& _files, const std::string& _name)
{
    try {
        _files.GetSize(_name.c_str());
        return true;
    } catch (const file_error_c&) {
        return false;
    }
}

::testing::AssertionResult HoldsNamedFile(file_system_c& _files, const std::string& _name, const std::string& _named_by)
{
    if (HoldsFile(_files, _name))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << _name << " (named by " << _named_by << ") is not in the data set";
}
