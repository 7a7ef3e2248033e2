// Replaced by the media-list sources.
