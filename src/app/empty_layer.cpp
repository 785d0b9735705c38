// Placeholder translation unit for a layer whose screens are not built yet.
namespace tavimond {}
