#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tarv::sfx {

// A list of effect ids handed out as C strings. The vector owns the text it
// points into (shared between copies), so the pointers stay valid for as long
// as any copy lives.
class SfxVector
{
public:
    SfxVector() = default;
    explicit SfxVector(std::vector<std::string> ids);

    std::size_t Count() const noexcept { return m_pointers.size(); }
    std::vector<const char*>::const_iterator begin() const noexcept { return m_pointers.begin(); }
    std::vector<const char*>::const_iterator end() const noexcept { return m_pointers.end(); }

private:
    std::shared_ptr<const std::vector<std::string>> m_ids;
    std::vector<const char*> m_pointers;
};

} // namespace tarv::sfx
