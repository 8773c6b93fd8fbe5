#include "framework/Exception.h"

#include <new>

bool CException::GetErrorMessage(std::string& text) const
{
    text.clear();
    return false;
}

bool CMemoryException::GetErrorMessage(std::string& text) const
{
    text = "Out of memory.";
    return true;
}

ExceptionReport DescribeException(std::exception_ptr error)
{
    ExceptionReport report;
    report.text = "Internal application error.";
    try {
        std::rethrow_exception(error);
    } catch (const CMemoryException& e) {
        report.kind = ExceptionReport::outOfMemory;
        e.GetErrorMessage(report.text);
    } catch (const std::bad_alloc&) {
        report.kind = ExceptionReport::outOfMemory;
        CMemoryException().GetErrorMessage(report.text);
    } catch (const CException& e) {
        std::string text;
        if (e.GetErrorMessage(text) && !text.empty())
            report.text = text;
    } catch (...) {
    }
    return report;
}

std::string AppNameFromModulePath(const std::string& modulePath)
{
    std::string::size_type slash = modulePath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}
