# Add to Favorites and the Cookie Details view.
target_sources(qm_core PRIVATE
  favorites.cpp
  cookie_details.cpp
)
