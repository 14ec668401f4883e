// The application.
